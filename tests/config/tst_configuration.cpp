// Loading QTA.INI into the lists and saving them back: what shows, which bytes a save writes, keeps and refuses.
#include "configuration.h"
#include "entrykeys.h"
#include "pathfunctions.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Three add-ons and seven buttons, one showing a bitmap that is not on this machine; LF line ends.
const QByteArray kSample = "[Addons]\nSheet Printer=C:\\PROGRA~1\\SHEETP~1\\SHEETP.EXE %charfile%\n"
                           "Batch Export=C:\\TOOLS\\BATCH.EXE -q %filelistquoted%\nNotes=C:\\WINDOWS\\NOTEPAD.EXE\n"
                           "[Toolbits]\nNew=NEW|1\nOpen=LOAD|2\nSave=SAVE|3\nspace4=|\n"
                           "Print sheet=RUNADDONBYNAME(Sheet Printer)|C:\\QTA\\BITMAPS\\SHEET.BMP\n"
                           "Export all=RUNADDONNUM(1)|4\nExit QTA=EXIT|7\n";

const QStringList kDefaultButtons
    = u"New=NEW|1\nLoad...=LOAD|2\nSave=SAVE|3\nspace4 gap -1\nPrint=PRINT|4\n"
      "Print Preview=PREVIEW|5\nspace7 gap -1\nPreferences...=PREFERENCES|6\nExit QTA=EXIT|7"_s.split(u'\n');

const QString kNone = u"(none)"_s;

QByteArray crlf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

QStringList buttons(const Configuration &config)
{
    QStringList out;
    for (const ToolbarButtonEntry &b : config.toolbar()->entries()) {
        out.append(b.isSeparator ? u"%1 gap %2"_s.arg(b.tooltip).arg(b.imageIndex)
                                 : u"%1=%2|%3"_s.arg(b.tooltip, b.command).arg(b.imageIndex));
    }
    return out;
}

QStringList addOns(const Configuration &config)
{
    QStringList out;
    for (const AddOnEntry &a : config.addOns()->entries())
        out.append(a.name + u'=' + a.commandLine + u';' + a.parameters);
    return out;
}

// Writes file (null: none) as QTA.INI in folder, then sets config up as the window does and loads it.
bool loadFrom(Configuration &config, const QString &folder, const QByteArray &file, QString *remark = nullptr)
{
    if (!file.isNull())
        writeBytes(folder + u"/QTA.INI"_s, file);
    SetupButtonImages(config);
    ResetToolbar(config);
    return LoadConfiguration(config, folder, nullptr, remark);
}

} // namespace

class tst_Configuration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void load_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no QTA.INI at all
        QTest::addColumn<QString>("addOns"); // "name=command line;parameters" lines
        QTest::addColumn<QString>("buttons"); // "tooltip=command|picture" or "tooltip gap picture" lines; "": default
        QTest::addColumn<QString>("warning"); // a part of it; empty: none

        QTest::addRow("missing file") << QByteArray() << QString() << QString() << QString();
        QTest::addRow("three add-ons, seven buttons")
            << crlf(kSample)
            << u"Sheet Printer=C:\\PROGRA~1\\SHEETP~1\\SHEETP.EXE;%charfile%\nBatch Export=C:\\TOOLS\\BATCH.EXE -q;"
               "%filelistquoted%\nNotes=C:\\WINDOWS\\NOTEPAD.EXE;(none)"_s
            << u"New=NEW|1\nOpen=LOAD|2\nSave=SAVE|3\nspace4 gap 0\nPrint sheet=RUNADDONBYNAME(Sheet Printer)|8\n"
               "Export all=RUNADDONNUM(1)|4\nExit QTA=EXIT|7"_s
            << QString();
        QTest::addRow("picture keys: a digit on a separator, none, empty, 9, 10 (a file)")
            << QByteArray("[Toolbits]\nA=|6\nB=PRINT\nC=SAVE|\nD=X|9\nE=X|10\n") << QString()
            << u"A gap 6\nB=PRINT|-1\nC=SAVE|-1\nD=X|9\nE=X|8"_s << QString();
        // QTA counts nameless lines, so each keeps its place and add-on numbers hold; one after another QTA never sees.
        QTest::addRow("nameless lines") << QByteArray(
            "[Addons]\n=v.exe\nTool=t.exe\n=w.exe\n=gone.exe\n[Toolbits]\n=|\nNew=NEW|1\n=SAVE|3\n")
                                        << u"=v.exe;(none)\nTool=t.exe;(none)\n=w.exe;(none)"_s
                                        << u" gap 0\nNew=NEW|1\n=SAVE|3"_s << QString();
        // Macro words move into the parameters; a blank stands where one stood between two words, other blanks stay.
        QTest::addRow("macro words")
            << QByteArray("[Addons]\nA=C:\\My  Tools\\x.exe  -q\nB=C:\\My  X\\T.EXE -v %FileListQuoted% %CHARFILE%\n"
                          "C=x.exe %charfile%  -q\nD=C:\\x.exe -a%filelistquoted%-b\nE=x.exe -a%CharFile%-b\n"
                          "F=x.exe %char%charfile%file%\nG=%FILELISTQUOTED%%charfile%\n")
            << u"A=C:\\My  Tools\\x.exe  -q;(none)\nB=C:\\My  X\\T.EXE -v;%charfile% %filelistquoted%\n"
               "C=x.exe -q;%charfile%\nD=C:\\x.exe -a -b;%filelistquoted%\nE=x.exe -a-b;%charfile%\n"
               "F=x.exe;%charfile%\nG=;%charfile% %filelistquoted%"_s
            << QString() << QString();
        // The grid shows what QTA runs: one pair of enclosing quotes comes off, the rest stays.
        QTest::addRow("add-on values in quotes")
            << QByteArray("[Addons]\nV=\"\"C:\\a.exe\" \"b\"\"\nW=\"x.exe %charfile%\"\nX='\"y\" -q'\n")
            << u"V=\"C:\\a.exe\" \"b\";(none)\nW=x.exe;%charfile%\nX=\"y\" -q;(none)"_s << QString() << QString();
        // Odd bytes still load, with a word for the user.
        QTest::addRow("8-bit text, the format's blanks, one stray escape")
            << QByteArray("[Addons]\tx\r\nCaf\xe9=\x0b\x0c \x80.exe\x1a\n\x1b") + QByteArray(200, ';')
            << u"Caf\u00e9=\u20ac.exe;(none)"_s << QString() << QString();
        QTest::addRow("two- and four-byte utf-8") << QByteArray("\xEF\xBB\xBF[Addons]\nK\xC3\xA9=\xF0\x9F\x98\x80\n")
                                                  << u"K\u00e9=\U0001F600;(none)"_s << QString() << QString();
        QTest::addRow("nul bytes") << QByteArray("[General]\nA=\0\n", 14) << QString() << QString() << u"NUL bytes"_s;
        QTest::addRow("binary without nul")
            << QByteArray("\x01\x02\x03\x04\x05").repeated(50) << QString() << QString() << u"250 control characters"_s;
        QTest::addRow("overlong utf-8 after the mark")
            << QByteArray("\xEF\xBB\xBF[A]\nK=\xE0\x80\xAF\n") << QString() << QString() << u"not UTF-8"_s;
    }

    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, addOns);
        QFETCH(QString, buttons);
        QFETCH(QString, warning);

        QTemporaryDir dir;
        Configuration config;
        QString remark;
        QVERIFY(loadFrom(config, dir.path(), file, &remark));
        const QString path = QDir::toNativeSeparators(dir.filePath(u"QTA.INI"_s));
        QVERIFY2(warning.isEmpty() ? remark.isEmpty() : remark.contains(warning) && remark.contains(path),
                 qPrintable(remark));
        for (int pass = 1; pass <= 2; ++pass) { // a second load finds everything where the first put it
            QCOMPARE(::addOns(config).join(u'\n'), addOns);
            QCOMPARE(::buttons(config), buttons.isEmpty() ? kDefaultButtons : buttons.split(u'\n'));
            QStringList commands { kNone };
            for (int i = 0; i < config.addOns()->count(); ++i)
                commands += ConfigFormat::addOnCommandForms(config.addOns()->at(i).name, i);
            QCOMPARE(config.addOnCommands(), commands);
            QVERIFY(LoadConfiguration(config, dir.path()));
        }
        QCOMPARE(QFileInfo::exists(qtaIniPath(dir.path())), !file.isNull()); // loading never writes
    }

    void pictureKeys()
    {
        QTemporaryDir tmp;
        const QString dir = QFileInfo(tmp.path()).canonicalFilePath();
        const QString a = dir + u"/a.bmp"_s, b = dir + u"/b.bmp"_s, missing = dir + u"/gone/SHEET.BMP"_s;
        writeBytes(a, "BM");
        writeBytes(b, "BM");
        // An existing file's key: its short path on Windows, the (canonical) path itself elsewhere.
        const QString aKey = shortPathName(a), bKey = shortPathName(b);
        const QString file = u"[General]\n[Toolbits]\nA=X|%1\nB=X|%2\nC=X|%3\nD=Y|%3\nE=X|%4\n"_s;
        Configuration config;
        QVERIFY(loadFrom(config, dir, file.arg(a, dir + u"/./a.bmp"_s, missing, b).toUtf8()));
        QCOMPARE(buttons(config), (QStringList { u"A=X|8"_s, u"B=X|8"_s, u"C=X|9"_s, u"D=Y|9"_s, u"E=X|10"_s }));
        QCOMPARE(config.images()->at(9), (ButtonImageEntry { missing, missing, false }));

        // Both spellings of a.bmp name one picture; the missing file keeps its path as written.
        QVERIFY(SaveConfiguration(config, dir));
        QCOMPARE(readBytes(qtaIniPath(dir)), file.arg(aKey, aKey, missing, bKey).toUtf8());

        // Pictures from index 9 on go at each load; index 8 stays even when no button uses it any more.
        writeBytes(qtaIniPath(dir), (u"[Toolbits]\nE=X|"_s + b + u'\n').toUtf8());
        QVERIFY(LoadConfiguration(config, dir));
        QCOMPARE(buttons(config), QStringList { u"E=X|9"_s });
        QCOMPARE(config.images()->count(), 10);
        QCOMPARE(config.images()->keyAt(8), aKey);
        ResetToolbar(config);
        QCOMPARE(config.images()->count(), 9);
    }

#ifdef Q_OS_WIN
    void shortPictureKeys_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addRow("long folder name with blanks") << u"Long Folder Name/Tool Picture.bmp"_s;
        QTest::addRow("names already short") << u"Pictures/tool.bmp"_s;
        // The plain path form drops a final blank, so only the long-path form finds the folder.
        QTest::addRow("folder name ending in a blank") << u"Ends in a blank /Tool Picture.bmp"_s;
    }

    // A picture's key is the short path of the very file, as the system gives it: what QTA is given.
    void shortPictureKeys()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString file = dir.filePath(name);
        QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
        writeBytes(file, name.toUtf8());
        const QString key = shortPathName(file);
        QCOMPARE(readBytes(key), name.toUtf8());
        static const QRegularExpression shortName(u"^[^ .]{1,8}(\\.[^ .]{1,3})?$"_s);
        const QStringList parts = key.split(u'\\');
        QCOMPARE(parts.constFirst().toUpper(), file.left(2).toUpper()); // the drive
        for (const QString &part : parts.sliced(1))
            QVERIFY2(shortName.match(part).hasMatch(), qPrintable(key));
        if (name == u"Pictures/tool.bmp"_s) // kept as they are
            QVERIFY2(key.endsWith(u"\\Pictures\\tool.bmp"_s, Qt::CaseInsensitive), qPrintable(key));
    }
#endif

    // The file a save of these lists makes where there was none.
    void savedLines_data()
    {
        QTest::addColumn<QList<ToolbarButtonEntry>>("buttons");
        QTest::addColumn<QList<AddOnEntry>>("addOns");
        QTest::addColumn<QByteArray>("file");

        using Buttons = QList<ToolbarButtonEntry>;
        using AddOns = QList<AddOnEntry>;
        const ToolbarButtonEntry newButton { u"New"_s, u"NEW"_s, 1, false };
        // A value a read would change (enclosing quotes, blanks at the ends) is written inside one pair of quotes.
        QTest::addRow("command line in quotes from end to end")
            << Buttons {} << AddOns { { u"Viewer"_s, u"\"C:\\Program Files\\v.exe\" \"C:\\data\\a b.txt\""_s, kNone } }
            << QByteArray("[Addons]\r\nViewer=\"\"C:\\Program Files\\v.exe\" \"C:\\data\\a b.txt\"\"\r\n");
        // Only an empty command makes a separator; a blank one is a button.
        QTest::addRow("blank commands") << Buttons { { u"Open"_s, u" LOAD"_s, 2, false },
                                                     { u"Tip"_s, u" "_s, 3, false } }
                                        << AddOns {} << QByteArray("[Toolbits]\r\nOpen=\" LOAD|2\"\r\nTip=\" |3\"\r\n");
        QTest::addRow("names starting with [ on a line without ]")
            << Buttons { { u"[Tip"_s, u"NEW"_s, 1, false } } << AddOns { { u"[Tool"_s, u"C:\\T.EXE"_s, kNone } }
            << QByteArray("[Addons]\r\n[Tool=C:\\T.EXE\r\n[Toolbits]\r\n[Tip=NEW|1\r\n");
        // QTA counts nameless lines: each keeps a line at its place, never merged into another.
        QTest::addRow("nameless entries")
            << Buttons { { QString(), u"NEW"_s, 1, false }, newButton, { u" "_s, QString(), 0, true } }
            << AddOns { { QString(), u"a.exe"_s, kNone }, { u"B"_s, u"b.exe"_s, kNone }, { u" "_s, u"c.exe"_s, kNone } }
            << QByteArray("[Addons]\r\n=a.exe\r\nB=b.exe\r\n=c.exe\r\n[Toolbits]\r\n=NEW|1\r\nNew=NEW|1\r\n=|\r\n");
        // A separator's name means nothing to QTA: it gives way to any button's key and another separator's.
        QTest::addRow("separators take free names")
            << Buttons { { u"space2"_s, u"ignored"_s, 5, true }, newButton,
                         { u"NEW"_s, QString(), 0, true },       { u"Space2"_s, u"SAVE"_s, 3, false },
                         { u"space9"_s, QString(), 0, true },    { u"SPACE9"_s, QString(), 0, true } }
            << AddOns {}
            << QByteArray(
                   "[Toolbits]\r\nspace1=|\r\nNew=NEW|1\r\nspace3=|\r\nSpace2=SAVE|3\r\nspace9=|\r\nspace6=|\r\n");
    }

    void savedLines()
    {
        QFETCH(QList<ToolbarButtonEntry>, buttons);
        QFETCH(QList<AddOnEntry>, addOns);
        QFETCH(QByteArray, file);

        QTemporaryDir dir;
        Configuration config;
        SetupButtonImages(config);
        config.toolbar()->reset(buttons);
        config.addOns()->setEntries(addOns);
        QString error;
        QVERIFY2(SaveConfiguration(config, dir.path(), &error), qPrintable(error));
        QCOMPARE(readBytes(qtaIniPath(dir.path())), file);
    }

    // Entries a save must not write as they stand: nothing is written, and the error names every one of them.
    void saveRefuses_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("isButton"); // the entry to add: a button, else an add-on; key null: none
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text"); // command or command line
        QTest::addColumn<QString>("named");

        const QByteArray general = "[General]\r\nA=1\r\n"; // the default toolbar, nine buttons, comes with it
        // A bar in a command moves the split: the rest would load as a bitmap path.
        QTest::addRow("bar in a command") << general << true << u"Run"_s << u"RUNADDON(A|B)"_s
                                          << u"Toolbar button 10 (\"Run\"): its command holds \"|\""_s;
        QTest::addRow("button without a command")
            << general << true << u"Blank"_s << QString() << u"Toolbar button 10 (\"Blank\"): it has no command"_s;
        // "a" repeats "A" and adds no line: row 4 would follow row 2's nameless line, which QTA drops.
        QTest::addRow("a nameless line right after another")
            << QByteArray("[Addons]\r\nA=a.exe\r\n=b.exe\r\na=c.exe\r\n") << false << u" "_s << u"d.exe"_s
            << u"Add-on in row 4 (\" \"): it has no name"_s;
        QTest::addRow("nul in a loaded button's name")
            << QByteArray("[Toolbits]\nNe\0w=NEW|1\n", 22) << true << QString() << QString() << u"Toolbar button 1"_s;
        const QString utf16 = u"[Addons]\r\nCalc=calc.exe\r\n"_s;
        QTest::addRow("UTF-16 file")
            << QByteArray("\xFF\xFE").append(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2) << true
            << QString() << QString() << u"UTF-16"_s;
    }

    void saveRefuses()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, isButton);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, named);

        QTemporaryDir dir;
        const QString path = qtaIniPath(dir.path());
        Configuration config;
        QVERIFY(loadFrom(config, dir.path(), file));
        if (!key.isNull() && isButton)
            config.toolbar()->append(ToolbarButtonEntry { key, text, 1, false });
        else if (!key.isNull())
            config.addOns()->appendAddOn(AddOnEntry { key, text, kNone });
        config.toolbar()->append(ToolbarButtonEntry { u"x=y"_s, u"NEW"_s, 1, false }); // every bad entry is named
        QStringList asked;
        QString error;
        QVERIFY(!SaveConfiguration(config, dir.path(), &error, [&](const QString &at) {
            asked.append(at);
            return true;
        }));
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)) && error.contains(named)
                     && (named == u"UTF-16"_s || error.contains(u"(\"x=y\"): the name holds \"=\""_s))
                     && !error.contains(u"Exit QTA"_s),
                 qPrintable(error));
        QCOMPARE(asked, QStringList()); // no question and no backup before a save that writes nothing
        QCOMPARE(readBytes(path), file);
    }

    // Entries a save writes as one line, by the INI layer's key rule; a nameless first line hides its section.
    void entriesOneLine_data()
    {
        QTest::addColumn<QList<ToolbarButtonEntry>>("buttons");
        QTest::addColumn<QList<AddOnEntry>>("addOns");
        QTest::addColumn<QStringList>("losses"); // a part of each, in order

        using Buttons = QList<ToolbarButtonEntry>;
        using AddOns = QList<AddOnEntry>;
        const auto button = [](const QString &name) { return ToolbarButtonEntry { name, u"NEW"_s, 1, false }; };
        const auto addOn = [](const QString &name) { return AddOnEntry { name, u"x.exe"_s, kNone }; };
        QTest::addRow("buttons with one key")
            << Buttons { button(u"New Button"_s), button(u"Open"_s), button(u" NEW button\t"_s) } << AddOns {}
            << QStringList { u"buttons 1 and 3 (\"New Button\"): one line, at button 1's place, with the command and "
                             "picture of button 3"_s };
        QTest::addRow("add-ons with one key")
            << Buttons {} << AddOns { addOn(u"Calc"_s), addOn(u"x"_s), addOn(u"CALC "_s), addOn(u"calc"_s) }
            << QStringList { u"rows 1, 3 and 4 (\"Calc\"): one line, at row 1's place, with the command line of "
                             "row 4"_s };
        QTest::addRow("apart: letters beyond ASCII, nameless lines, a separator's name")
            << Buttons { { u"New"_s, QString(), 0, true }, button(u"New"_s) }
            << AddOns { addOn(u"\u00dcber"_s), addOn(u"\u00fcber"_s), addOn(QString()), addOn(u"B"_s), addOn(u" "_s) }
            << QStringList();
        QTest::addRow("nameless first lines") << Buttons { button(QString()) } << AddOns { addOn(u" "_s) }
                                              << QStringList { u"button 1 has no name"_s, u"row 1 has no name"_s };
    }

    void entriesOneLine()
    {
        QFETCH(QList<ToolbarButtonEntry>, buttons);
        QFETCH(QList<AddOnEntry>, addOns);
        QFETCH(QStringList, losses);

        const QStringList found = savedEntryLosses(buttons, addOns);
        QCOMPARE(found.size(), losses.size());
        for (qsizetype i = 0; i < found.size(); ++i)
            QVERIFY2(found[i].contains(losses[i]), qPrintable(found[i]));
    }

    // Blanks after the remembered folder are no part of its name; a folder of blanks alone is the root.
    void iniFilePath()
    {
        const QTemporaryDir dir;
        QCOMPARE(qtaIniPath(dir.path() + u"/  "_s), dir.path() + u"/QTA.INI"_s);
        QCOMPARE(qtaIniPath(u"  "_s), QDir::separator() + u"QTA.INI"_s);
        // A file spelt in lower case is found in that folder too, not created a second time beside it.
        QFile lower(dir.path() + u"/qta.ini"_s);
        QVERIFY(lower.open(QIODevice::WriteOnly));
        lower.close();
        if (!QFileInfo::exists(dir.path() + u"/QTA.INI"_s))
            QCOMPARE(qtaIniPath(dir.path() + u"  "_s), dir.path() + u"/qta.ini"_s);
    }
};

QTEST_GUILESS_MAIN(tst_Configuration)
#include "tst_configuration.moc"
