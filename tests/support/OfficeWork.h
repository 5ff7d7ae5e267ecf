#pragma once

#include "generate/DocumentGeneration.h"
#include "generate/office/LibreOfficeSession.h"
#include "import/ImportXmlFile.h"
#include "settings/SettingsFiles.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestProcesses.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Base of the tests that generate on the real office (header only: the
// support library does not link generation). The office profiles go under a
// cache folder of the test's own, which also tells our offices apart from
// any other running on the machine.
struct OfficeWork {
    QTemporaryDir m_cache;
    std::unique_ptr<QTemporaryDir> m_work;
    RecordStore m_store;

    // From initTestCase, once the office is known to be installed.
    void isolate()
    {
        QVERIFY(m_cache.isValid());
        qputenv("XDG_CACHE_HOME", m_cache.path().toUtf8());
        qputenv("HOME", m_cache.path().toUtf8());
    }

    // From init: a fresh work folder and store, with these records if any.
    void renew(const QByteArray& records = {})
    {
        m_work = std::make_unique<QTemporaryDir>();
        QVERIFY(m_work->isValid());
        SettingsFiles::EnsureWorkFolders(WorkDir(m_work->path()));
        m_store = RecordStore();
        if (!records.isEmpty())
            importRecords(records);
    }

    void importRecords(const QByteArray& records)
    {
        QStringList lines;
        const std::optional<QString> refusal =
            ImportXmlBytes(TestFiles::edeboFile(records), u"test.xml"_qs, m_store, lines);
        QVERIFY2(!refusal, qPrintable(refusal.value_or(QString())));
    }

    QList<qint64> ourOffices() const { return TestProcesses::mentioning(m_cache.path()); }
    GenerationContext context() { return {m_store, WorkDir(m_work->path()), nullptr, {}}; }

    // A template of these bytes in the work folder's Templates.
    QString putTemplate(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_work->filePath(u"Templates/"_qs + name);
        TestFiles::write(path, bytes);
        return path;
    }
};
