#include "configformat.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_ConfigFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseAddOn_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QString>("savedValue");

        const QString both = u"%charfile% %filelistquoted%"_s;

        QTest::addRow("no macro keeps double blanks") << u"C:\\My  Tools\\x.exe  -q"_s << u"C:\\My  Tools\\x.exe  -q"_s
                                                      << u"(none)"_s << u"C:\\My  Tools\\x.exe  -q"_s;
        QTest::addRow("both, reversed and mixed case")
            << u"C:\\X\\TOOL.EXE -v %FileListQuoted% %charfile%"_s << u"C:\\X\\TOOL.EXE -v"_s << both
            << u"C:\\X\\TOOL.EXE -v %charfile% %filelistquoted%"_s;
        QTest::addRow("macro in the middle joins its neighbours with one blank")
            << u"run.exe %filelistquoted% -q"_s << u"run.exe -q"_s << u"%filelistquoted%"_s
            << u"run.exe -q %filelistquoted%"_s;
        // Collapsing every double blank would corrupt a path that holds one.
        QTest::addRow("double blank inside a path survives a macro")
            << u"C:\\My  Tools\\x.exe %CHARFILE%"_s << u"C:\\My  Tools\\x.exe"_s << u"%charfile%"_s
            << u"C:\\My  Tools\\x.exe %charfile%"_s;
        QTest::addRow("blanks meeting where a macro stood become one")
            << u"x.exe %charfile%  -q"_s << u"x.exe -q"_s << u"%charfile%"_s << u"x.exe -q %charfile%"_s;
        QTest::addRow("file list between letters becomes a blank")
            << u"C:\\x.exe -a%filelistquoted%-b"_s << u"C:\\x.exe -a -b"_s << u"%filelistquoted%"_s
            << u"C:\\x.exe -a -b %filelistquoted%"_s;
        QTest::addRow("char file between letters goes")
            << u"x.exe -a%CharFile%-b"_s << u"x.exe -a-b"_s << u"%charfile%"_s << u"x.exe -a-b %charfile%"_s;
        QTest::addRow("a word the removal joins goes too")
            << u"x.exe %char%charfile%file%"_s << u"x.exe"_s << u"%charfile%"_s << u"x.exe %charfile%"_s;
        QTest::addRow("only both macro words, glued") << u"%FILELISTQUOTED%%charfile%"_s << QString() << both << both;
        // Values as a read gives them: quotes and blanks a read left in place are part of the command line.
        QTest::addRow("quoted program and argument")
            << u"\"C:\\a.exe\" \"b\""_s << u"\"C:\\a.exe\" \"b\""_s << u"(none)"_s << u"\"C:\\a.exe\" \"b\""_s;
        QTest::addRow("blank at the start, kept in quotes")
            << u" lead.exe"_s << u" lead.exe"_s << u"(none)"_s << u" lead.exe"_s;
    }

    // The value must load, save and load again without drifting: a tab switch saves and reloads every time.
    void parseAddOn()
    {
        QFETCH(QString, value);
        QFETCH(QString, commandLine);
        QFETCH(QString, parameters);
        QFETCH(QString, savedValue);

        const AddOnEntry entry = ConfigFormat::parseAddOn(u"Tool"_s, value);
        QCOMPARE(entry.Name, u"Tool"_s);
        QCOMPARE(entry.CommandLine, commandLine);
        QCOMPARE(entry.Parameters, parameters);
        QVERIFY(ConfigFormat::parameterChoices().contains(entry.Parameters));
        QCOMPARE(ConfigFormat::addOnValue(entry), savedValue);

        // A save writes the line so that a read gives back exactly that value.
        QCOMPARE(ConfigFormat::parseAddOn(u"Tool"_s, savedValue), entry);
    }

    void toolbitsValue_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("imageKey");
        QTest::addColumn<bool>("hasImageKey");
        QTest::addColumn<int>("digit");

        QTest::addRow("separator with a digit") << u"|5"_s << QString() << u"5"_s << true << 5;
        QTest::addRow("digit nine") << u"X|9"_s << u"X"_s << u"9"_s << true << 9;
        QTest::addRow("two digits are a file name") << u"X|10"_s << u"X"_s << u"10"_s << true << -1;
        QTest::addRow("blank before a digit is a file name") << u"X| 3"_s << u"X"_s << u" 3"_s << true << -1;
        QTest::addRow("empty image key") << u"SAVE|"_s << u"SAVE"_s << QString() << true << -1;
        QTest::addRow("split at the first bar") << u"A|B|C:\\x.bmp"_s << u"A"_s << u"B|C:\\x.bmp"_s << true << -1;
        QTest::addRow("no bar") << u"PRINT"_s << u"PRINT"_s << QString() << false << -1;
    }

    void toolbitsValue()
    {
        QFETCH(QString, value);
        QFETCH(QString, command);
        QFETCH(QString, imageKey);
        QFETCH(bool, hasImageKey);
        QFETCH(int, digit);

        const ConfigFormat::ToolbitsValue split = ConfigFormat::splitToolbitsValue(value);
        QCOMPARE(split.command, command);
        QCOMPARE(split.imageKey, imageKey);
        QCOMPARE(split.hasImageKey, hasImageKey);
        QCOMPARE(ConfigFormat::digitImageKey(split.imageKey), digit);
    }
};

QTEST_GUILESS_MAIN(tst_ConfigFormat)
#include "tst_configformat.moc"
