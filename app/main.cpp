#include "app/UStatyLUMA.h"
#include "mainwindow/Unit1.h"
#include "records/ProgramFacts.h"
#include "resources/Pictures.h"
#include "windows/ui/ToolkitTranslation.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

namespace {

const char* const Help =
    R"(lumarel — diploma documents from EDEBO XML exports, filled into Word templates.

Usage:
  lumarel
      The window program of Люмарель. It reads the XML file of graduates'
      diplomas exported from EDEBO, shows the graduates as a check list and
      fills the Word template assigned to each document kind with a
      graduate's data through LibreOffice Writer: one .doc file per graduate.
  lumarel --help
      Prints this text.
  lumarel --version
      Prints the version.

The program takes no other arguments. It works in the current directory: the
folders Templates, Results, Examples and AddInfo and the settings files
Templ.set, CurDirTempl.set and CurDirXML.set are kept there, and the user
guide is looked for there as Lumarel.pdf.
)";

// Answered before the application exists, so without a display.
bool AnsweredWithoutWindows(int argc, char* argv[])
{
    if (argc != 2)
        return false;
    if (std::strcmp(argv[1], "--help") == 0) {
        std::fputs(Help, stdout);
        return true;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        const QString line = QStringLiteral("lumarel (%1) %2\n")
                                 .arg(ProgramFacts::ProgramName, ProgramFacts::FullVersion);
        std::fputs(line.toUtf8().constData(), stdout);
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (AnsweredWithoutWindows(argc, argv))
        return 0;
    QApplication app(argc, argv);
    // The name only: a display name would be appended to every window caption.
    QApplication::setApplicationName(ProgramFacts::ProgramName);
    // The dialogs' and boxes' own buttons and labels in Ukrainian too.
    ToolkitTranslation::install();
    InitLumarelResources();
    QIcon icon(Pictures::Icon);
    for (int size : Pictures::IconPngSizes)
        icon.addFile(Pictures::IconPng(size), QSize(size, size));
    QApplication::setWindowIcon(icon);

    TFStartLUMA start; // first: the application's main window
    TFLUMA mainWindow; // hidden; captures WorkDir now
    start.SetMainWindow(&mainWindow);
    start.show();
    return app.exec();
}
