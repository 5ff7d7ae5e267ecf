#include "generate/office/WordInstalled.h"

#include "generate/office/LibreOfficeSession.h"

bool CheckWordInstalled()
{
    return CheckWordInstalled(LibreOfficeSession::DefaultProgramDir());
}

bool CheckWordInstalled(const QString& officeProgramDir)
{
    return LibreOfficeSession::IsInstalled(officeProgramDir);
}
