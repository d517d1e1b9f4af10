#include "ansitext.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_AnsiText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyByteRoundTrips();
    void byteMeaning_data();
    void byteMeaning();
    void outsideCodePage_data();
    void outsideCodePage();
};

void tst_AnsiText::everyByteRoundTrips()
{
    // A file may hold any byte; reading and writing it back must not change one of them.
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    const QString text = AnsiText::decode(all);
    QCOMPARE(text.size(), 256);
    QVERIFY(AnsiText::canEncode(text));
    QCOMPARE(AnsiText::encode(text), all);
    for (int b = 0; b < 256; ++b)
        QVERIFY2(text.count(text[b]) == 1, qPrintable(u"byte 0x%1 shares its character"_s.arg(b, 2, 16)));
}

void tst_AnsiText::byteMeaning_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint");

    QTest::addRow("0x80 euro sign") << 0x80 << 0x20AC;
    // The bytes Windows-1252 leaves undefined keep their own value, so they still round-trip.
    QTest::addRow("0x81 undefined") << 0x81 << 0x0081;
    QTest::addRow("0x8D undefined") << 0x8D << 0x008D;
    QTest::addRow("0x8F undefined") << 0x8F << 0x008F;
    QTest::addRow("0x90 undefined") << 0x90 << 0x0090;
    QTest::addRow("0x9D undefined") << 0x9D << 0x009D;
    QTest::addRow("0x9F Y diaeresis") << 0x9F << 0x0178;
    QTest::addRow("0xFF y diaeresis") << 0xFF << 0x00FF;
}

void tst_AnsiText::byteMeaning()
{
#ifdef Q_OS_WIN
    QSKIP("Windows uses the system's ANSI code page, which need not be Windows-1252");
#endif
    QFETCH(int, byte);
    QFETCH(int, codePoint);

    const QString text = AnsiText::decode(QByteArray(1, char(byte)));
    QCOMPARE(text, QString(QChar(char16_t(codePoint))));
    QCOMPARE(AnsiText::encode(text), QByteArray(1, char(byte)));
    QVERIFY(AnsiText::canEncode(text));
}

void tst_AnsiText::outsideCodePage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::addRow("greek omega") << u"\u03A9"_s << QByteArray("?");
    QTest::addRow("japanese between encodable text") << u"a\u65E5b"_s << QByteArray("a?b");
    // U+0080 is not the euro sign's byte: 0x80 already decodes to U+20AC.
    QTest::addRow("C1 control U+0080") << u"\u0080"_s << QByteArray("?");
    QTest::addRow("euro beside omega") << u"\u20AC\u03A9"_s << QByteArray("\x80?");
}

void tst_AnsiText::outsideCodePage()
{
#ifdef Q_OS_WIN
    QSKIP("Windows uses the system's ANSI code page, which need not be Windows-1252");
#endif
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    QCOMPARE(AnsiText::encode(text), bytes);
    QVERIFY(!AnsiText::canEncode(text));
}

QTEST_GUILESS_MAIN(tst_AnsiText)
#include "tst_ansitext.moc"
