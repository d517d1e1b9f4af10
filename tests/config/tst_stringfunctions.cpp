#include "stringfunctions.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_StringFunctions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replaceText_data();
    void replaceText();
    void stripNull_data();
    void stripNull();
    void stripQuotes_data();
    void stripQuotes();
    void addBackslash_data();
    void addBackslash();
};

void tst_StringFunctions::replaceText_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("result");

    const QString untouched = u"<as passed>"_s;

    // The loader strips the parameter macros from add-on command lines.
    QTest::addRow("capital macro at the end")
        << u"C:\\Tools\\Viewer.exe %CHARFILE%"_s << u"%charfile%"_s << QString() << 1 << u"C:\\Tools\\Viewer.exe "_s;
    QTest::addRow("macro in the middle keeps the tail")
        << u"run.exe %CharFile% -q"_s << u"%charfile%"_s << QString() << 1 << u"run.exe  -q"_s;
    QTest::addRow("macro twice, mixed case")
        << u"a %charfile% b %CHARfile% c"_s << u"%charfile%"_s << QString() << 2 << u"a  b  c"_s;
    QTest::addRow("adjacent occurrences") << u"%charfile%%charfile%x"_s << u"%charfile%"_s << QString() << 2 << u"x"_s;

    // Collapsing blanks is one pass over pairs, not a repeat until none are left.
    QTest::addRow("three blanks to two") << u"a   b"_s << u"  "_s << u" "_s << 1 << u"a  b"_s;
    QTest::addRow("four blanks to two") << u"a    b"_s << u"  "_s << u" "_s << 2 << u"a  b"_s;
    QTest::addRow("replacement holding find is not searched again") << u"xax"_s << u"a"_s << u"AA"_s << 1 << u"xAAx"_s;

    QTest::addRow("no occurrence") << u"notepad.exe"_s << u"%charfile%"_s << QString() << 0 << QString();
    QTest::addRow("empty find never matches") << u"notepad.exe"_s << QString() << u"x"_s << 0 << QString();
    QTest::addRow("blank source") << u"   "_s << u" "_s << u"x"_s << 0 << untouched;
}

void tst_StringFunctions::replaceText()
{
    QFETCH(QString, source);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(int, count);
    QFETCH(QString, result);

    QString actual = u"<as passed>"_s;
    QCOMPARE(ReplaceText(source, find, replacement, actual), count);
    QCOMPARE(actual, result);
}

void tst_StringFunctions::stripNull_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::addRow("no NUL") << u"C:\\PROGRA~1\\a.bmp"_s << u"C:\\PROGRA~1\\a.bmp"_s;
    QTest::addRow("buffer padding") << u"C:\\a.bmp"_s + QString(5, QChar(0)) << u"C:\\a.bmp"_s;
}

void tst_StringFunctions::stripNull()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(StripNull(text), expected);
}

void tst_StringFunctions::stripQuotes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::addRow("quoted path") << u"\"/tmp/My Pictures/a.bmp\""_s << u"/tmp/My Pictures/a.bmp"_s;
    QTest::addRow("blanks outside the quotes") << u"  \"a b\"  "_s << u"a b"_s;
    QTest::addRow("blanks inside the quotes kept") << u"\" a \""_s << u" a "_s;
    QTest::addRow("tabs are not blanks") << u"\ta.bmp"_s << u"\ta.bmp"_s;
    QTest::addRow("only an opening quote") << u"\"a.bmp"_s << u"\"a.bmp"_s;
    QTest::addRow("one quote alone") << u"\""_s << u"\""_s;
    QTest::addRow("two quotes") << u"\"\""_s << QString();
    QTest::addRow("only the outer pair removed") << u"\"\"a\"\""_s << u"\"a\""_s;
}

void tst_StringFunctions::stripQuotes()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(StripQuotes(text), expected);
}

void tst_StringFunctions::addBackslash_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

#ifdef Q_OS_WIN
    const QString sep = u"\\"_s;
#else
    const QString sep = u"/"_s;
#endif
    QTest::addRow("folder without separator") << u"/home/qta"_s << u"/home/qta"_s + sep;
    QTest::addRow("trailing blanks dropped first") << u"/home/qta  "_s << u"/home/qta"_s + sep;
    QTest::addRow("forward slash kept") << u"/home/qta/"_s << u"/home/qta/"_s;
    QTest::addRow("drive root kept") << u"C:\\"_s << u"C:\\"_s;
    QTest::addRow("separator then blanks") << u"C:\\QTA\\ "_s << u"C:\\QTA\\"_s;
}

void tst_StringFunctions::addBackslash()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(AddBackslash(path), expected);
}

QTEST_GUILESS_MAIN(tst_StringFunctions)
#include "tst_stringfunctions.moc"
