#pragma once

#include "checks/TemplateReader.h"
#include "generate/ResultTexts.h"
#include "records/RecordStore.h"
#include "settings/WorkDir.h"

#include <QList>
#include <QString>

// One thing to fix before a graduate's document is printed.
struct DataFinding {
    int recordIndex = 0;
    qint32 number = 0;
    QString name; // DisplayName
    QString text;
};

inline const QString EmptyValueText = QStringLiteral("Порожнє значення для тегу %1");
inline const QString RepeatedDocumentText =
    QStringLiteral("Серія і номер «%1» повторюються у записах %2");
inline const QString SameFileNameText = QStringLiteral("Однакове ім'я документа з записом %1");
// A value the import cut to its field's width: %1 the width, %2 the value as
// the file gave it.
inline const QString CutValueText = QStringLiteral("Значення обрізано до %1 символів: «%2»");

// Checks graduates' data against the templates the export would fill for
// them: the template itself, every tag it uses left empty, dates the export
// would refuse or that are no day of the calendar, values of the tags it uses
// that the import cut to their field's width, a series and number shared
// within the file, and documents that would take the same file name.
class DataCheck {
public:
    DataCheck(const RecordStore& store, WorkDir workDir, TemplateReader& reader);

    // The findings for the records (1-based, in the order given), each
    // record's in a fixed order. Throws LumarelError only when the office
    // fails as a whole.
    QList<DataFinding> check(const QList<int>& recordIndexes);

private:
    const RecordStore& m_store;
    WorkDir m_workDir;
    TemplateReader& m_reader;
};
