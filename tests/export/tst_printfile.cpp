#include "export/PrintFile.h"
#include "records/LumarelError.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

namespace {

// A PDF whose pages are told apart by their widths. A negative width is the
// page tree's, which the page inherits (as the office writes its PDFs).
void writePdf(const QString& path, const QList<int>& widths)
{
    QPDF pdf;
    pdf.emptyPDF();
    QPDFPageDocumentHelper pages(pdf);
    for (const int width : widths) {
        const std::string page = width < 0
                                     ? std::string("<< /Type /Page /Resources << >> >>")
                                     : "<< /Type /Page /MediaBox [0 0 " + std::to_string(width) +
                                           " 842] /Resources << >> >>";
        pages.addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(QPDFObjectHandle::parse(page))),
                      false);
    }
    // Set last: adding a page gives the tree's attributes to its pages.
    for (const int width : widths)
        if (width < 0)
            pdf.getRoot().getKey("/Pages").replaceKey(
                "/MediaBox", QPDFObjectHandle::parse("[0 0 " + std::to_string(-width) + " 842]"));
    QPDFWriter writer(pdf, QFile::encodeName(path).constData());
    writer.write();
}

QList<int> pageWidths(const QString& path)
{
    QPDF pdf;
    pdf.processFile(QFile::encodeName(path).constData());
    QList<int> widths;
    for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages())
        widths << page.getAttribute("/MediaBox", false).getArrayItem(2).getIntValueAsInt();
    return widths;
}

} // namespace

// Joining the documents' PDFs into the one print file.
class TestPrintFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void join_data();
    void join();
    void brokenPartLeavesNothing_data();
    void brokenPartLeavesNothing();
    void nameAndPlace();
};

void TestPrintFile::join_data()
{
    QTest::addColumn<QList<QList<int>>>("parts");
    QTest::newRow("one page") << QList<QList<int>>{{100}};
    QTest::newRow("pages in part and list order")
        << QList<QList<int>>{{101, 102}, {201}, {301, 302, 303}};
    // The same document twice is two documents.
    QTest::newRow("repeated") << QList<QList<int>>{{100}, {100}};
    QTest::newRow("page size from the page tree") << QList<QList<int>>{{-150, -150}, {160}, {-170}};
}

void TestPrintFile::join()
{
    QFETCH(QList<QList<int>>, parts);
    QTemporaryDir dir;
    QStringList paths;
    QList<int> all;
    for (qsizetype k = 0; k < parts.size(); ++k) {
        paths << dir.filePath(QString::number(k) + u".pdf"_qs);
        writePdf(paths.back(), parts.at(k));
        for (const int width : parts.at(k))
            all << std::abs(width);
    }
    const QString out = dir.filePath(u"Друк.pdf"_qs);
    PrintFile::Join(paths, out);
    QCOMPARE(pageWidths(out), all);
    // The parts are only read.
    for (qsizetype k = 0; k < parts.size(); ++k)
        QCOMPARE(pageWidths(paths.at(k)).size(), parts.at(k).size());
}

void TestPrintFile::brokenPartLeavesNothing_data()
{
    QTest::addColumn<QByteArray>("broken"); // the second part's bytes; empty: no such file
    QTest::newRow("not a pdf") << QByteArray("plain text, no pdf at all");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("empty file") << QByteArray(" ");
}

void TestPrintFile::brokenPartLeavesNothing()
{
    QFETCH(QByteArray, broken);
    QTemporaryDir dir;
    const QString good = dir.filePath(u"good.pdf"_qs);
    writePdf(good, {100});
    const QString bad = dir.filePath(u"bad.pdf"_qs);
    if (!broken.isEmpty())
        TestFiles::write(bad, broken);
    const QString out = dir.filePath(u"out.pdf"_qs);
    QVERIFY_THROWS_EXCEPTION(LumarelError, PrintFile::Join({good, bad}, out));
    QVERIFY(!QFile::exists(out));
}

void TestPrintFile::nameAndPlace()
{
    const QDateTime when(QDate(2026, 6, 30), QTime(9, 5, 7));
    QCOMPARE(PrintFile::FileName(when), u"Друк_20260630-090507.pdf"_qs);

    QTemporaryDir dir;
    const QString part = dir.filePath(u"part.pdf"_qs);
    writePdf(part, {100, 200});
    const QString results = dir.filePath(u"Results"_qs);
    QDir().mkpath(results);
    // A file already under that name (another batch in the same second) stays.
    const QString earlier = results + u"/Друк_20260630-090507.pdf"_qs;
    TestFiles::write(earlier, "earlier");
    const QString written = PrintFile::Write({part}, results, when);
    QCOMPARE(written, results + u"/Друк_20260630-090507(1).pdf"_qs);
    QCOMPARE(TestFiles::read(earlier), QByteArray("earlier"));
    QCOMPARE(pageWidths(written), (QList<int>{100, 200}));
    QCOMPARE(QDir(results).entryList(QDir::Files).size(), 2);
}

QTEST_GUILESS_MAIN(TestPrintFile)
#include "tst_printfile.moc"
