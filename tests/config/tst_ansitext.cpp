#include "ansitext.h"

#include <QScopeGuard>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_AnsiText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
#ifdef Q_OS_WIN
    // The rows below are written for the Western code page; the system converts, whatever its own code page is.
    void initTestCase() { AnsiText::setCodePageForTesting(1252); }
    void cleanupTestCase() { AnsiText::setCodePageForTesting(0); }
#endif

    void everyByteRoundTrips()
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

    void codePage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("encodable");

        QTest::addRow("euro sign") << u"\u20AC"_s << QByteArray("\x80") << true;
        // The bytes Windows-1252 leaves undefined keep their own value, so they still round-trip.
        QTest::addRow("undefined bytes") << u"\u0081\u008D\u008F\u0090\u009D"_s << QByteArray("\x81\x8D\x8F\x90\x9D")
                                         << true;
        QTest::addRow("Y and y diaeresis") << u"\u0178\u00FF"_s << QByteArray("\x9F\xFF") << true;
        QTest::addRow("greek and japanese between encodable text")
            << u"a\u03A9\u65E5b"_s << QByteArray("a??b") << false;
        // U+0080 is not the euro sign's byte: 0x80 already decodes to U+20AC.
        QTest::addRow("C1 control U+0080") << u"\u0080"_s << QByteArray("?") << false;
        QTest::addRow("euro beside omega") << u"\u20AC\u03A9"_s << QByteArray("\x80?") << false;
        // A letter the code page lacks must not become a similar one that it has.
        QTest::addRow("A with macron") << u"\u0100"_s << QByteArray("?") << false;
        QTest::addRow("final NUL") << u"a\0"_s << QByteArray("a\0", 2) << true;
    }

    void codePage()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, encodable);

        QCOMPARE(AnsiText::encode(text), bytes);
        QCOMPARE(AnsiText::canEncode(text), encodable);
        if (encodable)
            QCOMPARE(AnsiText::decode(bytes), text);
    }

#ifdef Q_OS_WIN
    void otherCodePages_data()
    {
        QTest::addColumn<uint>("codePage");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("encodable");

        // Windows can make UTF-8 the system's ANSI code page; its conversions then take no best-fit flags.
        QTest::addRow("UTF-8, greek") << 65001u << u"\u03A9mega"_s << QByteArray("\xCE\xA9mega") << true;
        QTest::addRow("UTF-8, lone surrogate") << 65001u << u"a\xD800"_s << QByteArray("a\xEF\xBF\xBD") << false;
        QTest::addRow("Japanese, two-byte letters") << 932u << u"\u65E5\u672C"_s << QByteArray("\x93\xFA\x96\x7B")
                                                    << true;
        QTest::addRow("Japanese, euro sign") << 932u << u"\u20AC"_s << QByteArray("?") << false;
    }

    void otherCodePages()
    {
        QFETCH(uint, codePage);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, encodable);

        AnsiText::setCodePageForTesting(codePage);
        const auto restore = qScopeGuard([] { AnsiText::setCodePageForTesting(1252); });
        QCOMPARE(AnsiText::encode(text), bytes);
        QCOMPARE(AnsiText::canEncode(text), encodable);
        if (encodable)
            QCOMPARE(AnsiText::decode(bytes), text);
    }
#endif
};

QTEST_GUILESS_MAIN(tst_AnsiText)
#include "tst_ansitext.moc"
