#pragma once

#include "generate/office/LibreOfficeSession.h"
#include "settings/SettingsFiles.h"
#include "tests/support/GuiFixture.h"
#include "tests/support/OfficeReading.h"
#include "tests/support/TestProcesses.h"
#include "windows/ui/ShellOpen.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QTableWidget>
#include <QTimer>
#include <functional>

// A main window in a fresh work folder, as GuiFixture, with the shell's open
// action recorded too.
struct ExportFixture : GuiFixture {
    QStringList opened;

    ExportFixture()
    {
        ShellOpen::setRecorder([this](const QString& path) { opened.append(path); });
    }
    ~ExportFixture() { ShellOpen::clearRecorder(); }

    WorkDir workDir() const { return window->workDir(); }
    QString results(const QString& name = QString()) const
    {
        return dir.filePath(QStringLiteral("Results/") + name);
    }
    QString examples(const QString& name = QString()) const
    {
        return dir.filePath(QStringLiteral("Examples/") + name);
    }
    QStringList resultFiles() const { return QDir(results()).entryList(QDir::Files, QDir::Name); }
    // Templ.set with the given path in the given slots (1..8), blank elsewhere.
    void assign(const QList<QPair<int, QString>>& slots)
    {
        QStringList table(8);
        for (const auto& [slot, path] : slots)
            table[slot - 1] = path;
        SettingsFiles::SaveTemplateTable(workDir(), table);
    }
    void check(const QList<int>& positions)
    {
        for (int p : positions)
            window->SetEntryChecked(p, true);
    }
};

// A flat OpenDocument text of the given paragraphs: a template the office
// opens quickly.
inline QByteArray flatTemplate(const QStringList& paragraphs)
{
    QString body;
    for (const QString& p : paragraphs)
        body += QStringLiteral("<text:p>") + p.toHtmlEscaped() + QStringLiteral("</text:p>\n");
    return TestFiles::flatDocument(QString(), body);
}

// An attribute-form graduate: number, full name, degree code, honours mark.
inline QByteArray graduateOf(int id, const QString& fio,
                             const QString& code = QStringLiteral("6.020303"),
                             const QString& award = QStringLiteral("0"),
                             const QString& date = QStringLiteral("30.06.2015"))
{
    return TestFiles::attributeRecord({{QStringLiteral("iddocument"), QString::number(id)},
                                       {QStringLiteral("fio"), fio},
                                       {QStringLiteral("lastname"), fio.section(u' ', 0, 0)},
                                       {QStringLiteral("specdirprofcode"), code},
                                       {QStringLiteral("award"), award},
                                       {QStringLiteral("dategive"), date}});
}

// Acts on the modal window of the given class once ready() holds for it; the
// exec() that showed it is still running meanwhile. Gives up after a while by
// closing whatever is modal, so that a fault cannot hang the test.
inline void whenModal(const char* className, std::function<bool(QWidget*)> ready,
                      std::function<void(QWidget*)> act, int timeoutMs = 240000)
{
    auto* poll = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->inherits(className) && ready(modal)) {
            poll->stop();
            poll->deleteLater();
            delete clock;
            act(modal);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            poll->stop();
            poll->deleteLater();
            delete clock;
            qWarning("gave up waiting for a modal %s", className);
            if (modal)
                modal->close();
        }
    });
    poll->start();
}

// Processes of ours: their command line names the cache folder we set.
inline QList<qint64> officesUnder(const QString& cache)
{
    return TestProcesses::mentioning(cache);
}

// The rows of the batch window's table, "name|result".
inline QStringList tableRows(QWidget* pack)
{
    auto* vl = pack->findChild<QTableWidget*>(QStringLiteral("VL"));
    QStringList rows;
    for (int r = 0; vl && r < vl->rowCount(); ++r)
        rows << vl->item(r, 0)->text() + u'|' + vl->item(r, 1)->text();
    return rows;
}
