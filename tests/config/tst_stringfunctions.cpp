#include "stringfunctions.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_StringFunctions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replaceText_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("result");

        // The loader strips the parameter macros from add-on command lines.
        QTest::addRow("macro in the middle keeps the tail")
            << u"run.exe %CharFile% -q"_s << u"%charfile%"_s << QString() << 1 << u"run.exe  -q"_s;
        QTest::addRow("macro twice, mixed case")
            << u"a %charfile% b %CHARfile% c"_s << u"%charfile%"_s << QString() << 2 << u"a  b  c"_s;
        QTest::addRow("adjacent occurrences")
            << u"%charfile%%charfile%x"_s << u"%charfile%"_s << QString() << 2 << u"x"_s;
        // Collapsing blanks is one pass over pairs, not a repeat until none are left.
        QTest::addRow("four blanks to two") << u"a    b"_s << u"  "_s << u" "_s << 2 << u"a  b"_s;
        QTest::addRow("replacement holding find is not searched again")
            << u"xax"_s << u"a"_s << u"AA"_s << 1 << u"xAAx"_s;
        QTest::addRow("no occurrence") << u"notepad.exe"_s << u"%charfile%"_s << QString() << 0 << QString();
        QTest::addRow("empty find never matches") << u"notepad.exe"_s << QString() << u"x"_s << 0 << QString();
        QTest::addRow("blank source leaves the result alone") << u"   "_s << u" "_s << u"x"_s << 0 << u"<as passed>"_s;
    }

    void replaceText()
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

    void oneArgument_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::addRow("StripNull: no NUL") << u"StripNull"_s << u"C:\\PROGRA~1\\a.bmp"_s << u"C:\\PROGRA~1\\a.bmp"_s;
        QTest::addRow("StripNull: buffer padding")
            << u"StripNull"_s << u"C:\\a.bmp"_s + QString(5, QChar(0)) << u"C:\\a.bmp"_s;

        QTest::addRow("StripQuotes: blanks outside") << u"StripQuotes"_s << u"  \"a b\"  "_s << u"a b"_s;
        QTest::addRow("StripQuotes: blanks inside kept") << u"StripQuotes"_s << u"\" a \""_s << u" a "_s;
        QTest::addRow("StripQuotes: tabs are not blanks") << u"StripQuotes"_s << u"\ta.bmp"_s << u"\ta.bmp"_s;
        QTest::addRow("StripQuotes: only an opening quote") << u"StripQuotes"_s << u"\"a.bmp"_s << u"\"a.bmp"_s;
        QTest::addRow("StripQuotes: one quote alone") << u"StripQuotes"_s << u"\""_s << u"\""_s;
        QTest::addRow("StripQuotes: two quotes") << u"StripQuotes"_s << u"\"\""_s << QString();
        QTest::addRow("StripQuotes: only the outer pair") << u"StripQuotes"_s << u"\"\"a\"\""_s << u"\"a\""_s;

        const QString sep = QDir::separator();
        QTest::addRow("AddBackslash: blanks dropped first")
            << u"AddBackslash"_s << u"/home/qta  "_s << u"/home/qta"_s + sep;
        QTest::addRow("AddBackslash: slash kept") << u"AddBackslash"_s << u"/home/qta/"_s << u"/home/qta/"_s;
        QTest::addRow("AddBackslash: drive root kept") << u"AddBackslash"_s << u"C:\\"_s << u"C:\\"_s;
        QTest::addRow("AddBackslash: separator then blanks") << u"AddBackslash"_s << u"C:\\QTA\\ "_s << u"C:\\QTA\\"_s;
    }

    void oneArgument()
    {
        QFETCH(QString, function);
        QFETCH(QString, text);
        QFETCH(QString, expected);

        const QString actual = function == u"StripNull"_s ? StripNull(text)
            : function == u"StripQuotes"_s                ? StripQuotes(text)
                                                          : AddBackslash(text);
        QCOMPARE(actual, expected);
    }
};

QTEST_GUILESS_MAIN(tst_StringFunctions)
#include "tst_stringfunctions.moc"
