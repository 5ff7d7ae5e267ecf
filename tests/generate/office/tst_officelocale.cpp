// The locale the office is started with, whatever the caller's environment.
#include "generate/office/OfficeLocale.h"

#include <QTest>

class TestOfficeLocale : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void namesUtf8_data();
    void namesUtf8();
    void withUtf8_data();
    void withUtf8();
};

void TestOfficeLocale::namesUtf8_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("C.UTF-8") << u"C.UTF-8"_qs << true;
    QTest::newRow("C.utf8") << u"C.utf8"_qs << true;
    QTest::newRow("with a modifier") << u"uk_UA.UTF-8@euro"_qs << true;
    QTest::newRow("C") << u"C"_qs << false;
    QTest::newRow("POSIX") << u"POSIX"_qs << false;
    QTest::newRow("no codeset") << u"uk_UA"_qs << false;
    QTest::newRow("KOI8-U") << u"uk_UA.KOI8-U"_qs << false;
    QTest::newRow("UTF-8 only in the modifier") << u"uk_UA.CP1251@utf8"_qs << false;
    QTest::newRow("empty") << QString() << false;
}

void TestOfficeLocale::namesUtf8()
{
    QFETCH(QString, name);
    QFETCH(bool, utf8);
    QCOMPARE(OfficeLocale::NamesUtf8(name), utf8);
}

void TestOfficeLocale::withUtf8_data()
{
    // "VAR=value" pairs; a variable absent from after is absent.
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    const QString other = u"HOME=/home/x"_qs;
    QTest::newRow("nothing set (cron, ssh)")
        << QStringList{other} << QStringList{other, u"LC_CTYPE=C.UTF-8"_qs};
    QTest::newRow("LANG=C") << QStringList{u"LANG=C"_qs}
                            << QStringList{u"LANG=C"_qs, u"LC_CTYPE=C.UTF-8"_qs};
    QTest::newRow("LC_ALL=C overrides a UTF-8 LANG")
        << QStringList{u"LANG=C.UTF-8"_qs, u"LC_ALL=C"_qs}
        << QStringList{u"LANG=C.UTF-8"_qs, u"LC_ALL=C.UTF-8"_qs};
    QTest::newRow("LC_ALL=POSIX") << QStringList{u"LC_ALL=POSIX"_qs}
                                  << QStringList{u"LC_ALL=C.UTF-8"_qs};
    QTest::newRow("LC_CTYPE=C under a UTF-8 LANG")
        << QStringList{u"LANG=C.UTF-8"_qs, u"LC_CTYPE=C"_qs, u"LC_MESSAGES=C"_qs}
        << QStringList{u"LANG=C.UTF-8"_qs, u"LC_CTYPE=C.UTF-8"_qs, u"LC_MESSAGES=C"_qs};
    QTest::newRow("an empty LC_ALL does not decide")
        << QStringList{u"LC_ALL="_qs, u"LANG=C"_qs}
        << QStringList{u"LC_ALL="_qs, u"LANG=C"_qs, u"LC_CTYPE=C.UTF-8"_qs};
    QTest::newRow("a UTF-8 locale that is not installed")
        << QStringList{u"LANG=xx_YY.UTF-8"_qs}
        << QStringList{u"LANG=xx_YY.UTF-8"_qs, u"LC_CTYPE=C.UTF-8"_qs};
    QTest::newRow("a single-byte locale that is not installed")
        << QStringList{u"LC_ALL=xx_YY.ISO-8859-5"_qs} << QStringList{u"LC_ALL=C.UTF-8"_qs};
    // Already UTF-8: the user's settings stay exactly as they are.
    QTest::newRow("LANG=C.UTF-8 kept") << QStringList{u"LANG=C.UTF-8"_qs, other}
                                       << QStringList{u"LANG=C.UTF-8"_qs, other};
    QTest::newRow("LC_ALL=C.utf8 kept")
        << QStringList{u"LC_ALL=C.utf8"_qs, u"LANG=C"_qs}
        << QStringList{u"LC_ALL=C.utf8"_qs, u"LANG=C"_qs};
    QTest::newRow("LC_CTYPE=C.UTF-8 under LANG=C kept")
        << QStringList{u"LC_CTYPE=C.UTF-8"_qs, u"LANG=C"_qs}
        << QStringList{u"LC_CTYPE=C.UTF-8"_qs, u"LANG=C"_qs};
}

void TestOfficeLocale::withUtf8()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    auto toEnv = [](const QStringList& pairs) {
        QProcessEnvironment env;
        for (const QString& pair : pairs)
            env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        return env;
    };
    QStringList got = OfficeLocale::WithUtf8(toEnv(before)).toStringList();
    QStringList want = toEnv(after).toStringList();
    got.sort();
    want.sort();
    QCOMPARE(got, want);
}

QTEST_GUILESS_MAIN(TestOfficeLocale)
#include "tst_officelocale.moc"
