#include "records/LumarelError.h"

#include <QTest>
#include <functional>
#include <stdexcept>

// The one sorting of exceptions into the text the user sees.
class TestErrorText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void currentErrorText_data();
    void currentErrorText();
};

using Thrower = std::function<void()>;
Q_DECLARE_METATYPE(Thrower)

void TestErrorText::currentErrorText_data()
{
    QTest::addColumn<Thrower>("thrower");
    QTest::addColumn<QString>("text");
    QTest::newRow("own error") << Thrower([] { throw LumarelError(u"Файл не знайдено"_qs); })
                               << u"Файл не знайдено"_qs;
    QTest::newRow("standard error, UTF-8")
        << Thrower([] { throw std::runtime_error("Помилка запису"); }) << u"Помилка запису"_qs;
    QTest::newRow("out of memory") << Thrower([] { throw std::bad_alloc(); })
                                   << QString::fromUtf8(std::bad_alloc().what());
    QTest::newRow("anything else") << Thrower([] { throw 42; }) << u"Невідома помилка"_qs;
}

void TestErrorText::currentErrorText()
{
    QFETCH(Thrower, thrower);
    QFETCH(QString, text);
    try {
        thrower();
        QFAIL("nothing thrown");
    } catch (...) {
        QCOMPARE(CurrentErrorText(), text);
    }
}

QTEST_GUILESS_MAIN(TestErrorText)
#include "tst_errortext.moc"
