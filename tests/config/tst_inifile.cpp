// The INI layer: the sections a save replaces, what a read answers, entries the file cannot hold, 8-bit text.
#include "ansitext.h"
#include "inidocument.h"
#include "inifile.h"

#include <QScopeGuard>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void write(IniDocument &doc, const QStringList &lines)
{
    IniSectionEntries entries(doc);
    for (const QString &line : lines) {
        entries.addKey(line.section(u'=', 0, 0));
        entries.appendValue(line.section(u'=', 1));
    }
    doc.writeEntries(u"Addons"_s, entries);
}

} // namespace

class tst_IniFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
#ifdef Q_OS_WIN
    // The rows are written for the Western code page; the system converts, whatever its own code page is.
    void initTestCase()
    {
        AnsiText::setCodePageForTesting(1252);
    }
    void cleanupTestCase()
    {
        AnsiText::setCodePageForTesting(0);
    }
#endif

    // A save removes every copy of a section and writes the new one as one write per entry would leave it
    // (nameless entries, which one write each would merge, are checked with the save's lines).
    void replaceSection_data()
    {
        QTest::addColumn<QByteArray>("initial");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QByteArray>("expected");

        QTest::addRow("every copy goes, others stay")
            << QByteArray("; top\r\n[Addons]\r\na=1\r\n[Main]\r\nm=1\r\n\r\n[ ADDONS ]\r\nb=2\r\n[Addons2]\r\nt=1")
            << QStringList { u"b=2"_s, u"a=1"_s }
            << QByteArray("; top\r\n[Main]\r\nm=1\r\n\r\n[Addons2]\r\nt=1\r\n[Addons]\r\nb=2\r\na=1\r\n");
        QTest::addRow("lines take the file's end when the old section held them all")
            << QByteArray("[Addons]\rold=1\r") << QStringList { u"new=2"_s } << QByteArray("[Addons]\rnew=2\r");
    }

    void replaceSection()
    {
        QFETCH(QByteArray, initial);
        QFETCH(QStringList, entries);
        QFETCH(QByteArray, expected);

        IniDocument doc(initial);
        while (doc.removeSection(u"Addons"_s)) { }
        IniDocument oneByOne = doc;
        write(doc, entries);
        QCOMPARE(doc.toBytes(), expected);
        for (const QString &line : std::as_const(entries))
            write(oneByOne, { line });
        QCOMPARE(oneByOne.toBytes(), expected);
    }

    // The one rule of which entries a save refuses: those the file cannot give back as written.
    void entryProblem_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("more"); // a second part of the value, as a button's "command|picture"
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<bool>("refused");

        const QString nul(QChar(0));
        QTest::addRow("key holding =") << u"a=b"_s << u"x"_s << QString() << false << true;
        QTest::addRow("key holding CR") << u"a\rb"_s << u"x"_s << QString() << false << true;
        QTest::addRow("key holding NUL") << u"a"_s + nul << u"x"_s << QString() << false << true;
        QTest::addRow("key reading as a header") << u"[Main]"_s << u"x"_s << QString() << false << true;
        QTest::addRow("key after blanks, ] in the picture") << u"  [x"_s << u"a"_s << u"b]"_s << false << true;
        QTest::addRow("key reading as a comment") << u"\t;x"_s << u"x"_s << QString() << false << true;
        QTest::addRow("value holding LF") << u"Calc"_s << u"a\n[Main]"_s << QString() << false << true;
        QTest::addRow("NUL in the picture") << u"Calc"_s << u"a"_s << nul << false << true;
        QTest::addRow("arrow in an 8-bit file") << u"Next \u2192"_s << u"x"_s << QString() << false << true;
        // Lines a read gives back unchanged are never refused.
        QTest::addRow("arrow in a utf-8 file") << u"Next \u2192"_s << u"\u2192"_s << QString() << true << false;
        QTest::addRow("key starting with [, no ] on the line") << u"[x"_s << u"y"_s << u"z"_s << false << false;
        QTest::addRow("empty key") << QString() << u"x"_s << QString() << false << false;
        QTest::addRow("blanks and quotes around the value") << u" Pad "_s << u" \"q"_s << u"\" "_s << false << false;
    }

    void entryProblem()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, more);
        QFETCH(bool, utf8);
        QFETCH(bool, refused);

        const QString problem = iniEntryProblem(key, { value, more }, utf8);
        QVERIFY2(problem.isEmpty() != refused, qPrintable(problem));
    }

    // Every byte a file may hold reads as a character of its own and is written back as that byte.
    void everyByteRoundTrips()
    {
        QByteArray all(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        const QString text = AnsiText::decode(all);
        QVERIFY(AnsiText::canEncode(text) && !AnsiText::canEncode(u"\u0080"_s)); // 0x80 is the euro sign's byte
        QCOMPARE(AnsiText::encode(text), all);
        QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), 256);
    }

#ifdef Q_OS_WIN
    // Windows converts with the system's ANSI code page, which may be another one, even UTF-8.
    void systemCodePages_data()
    {
        QTest::addColumn<uint>("codePage");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("encodable");
        // A letter the code page lacks must not become a similar one that it has.
        QTest::addRow("Western, A with macron") << 1252u << u"\u0100"_s << QByteArray("?") << false;
        QTest::addRow("Western, final NUL") << 1252u << u"a\0"_s << QByteArray("a\0", 2) << true;
        QTest::addRow("UTF-8, greek") << 65001u << u"\u03A9mega"_s << QByteArray("\xCE\xA9mega") << true;
        QTest::addRow("UTF-8, lone surrogate") << 65001u << u"a\xD800"_s << QByteArray("a\xEF\xBF\xBD") << false;
        QTest::addRow("Japanese, two-byte letters")
            << 932u << u"\u65E5\u672C"_s << QByteArray("\x93\xFA\x96\x7B") << true;
        QTest::addRow("Japanese, euro sign") << 932u << u"\u20AC"_s << QByteArray("?") << false;
    }

    void systemCodePages()
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

QTEST_GUILESS_MAIN(tst_IniFile)
#include "tst_inifile.moc"
