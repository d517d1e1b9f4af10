#include "configuration.h"
#include "filesafety.h"
#include "pathfunctions.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
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

const QStringList kDefaultButtons = {u"New=NEW|1"_s,  u"Load...=LOAD|2"_s, u"Save=SAVE|3"_s,
                                     u"space4 gap -1"_s, u"Print=PRINT|4"_s, u"Print Preview=PREVIEW|5"_s,
                                     u"space7 gap -1"_s, u"Preferences...=PREFERENCES|6"_s, u"Exit QTA=EXIT|7"_s};

QByteArray crlf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

QStringList buttons(const Configuration &config)
{
    QStringList out;
    for (const ToolbarButtonEntry &b : config.toolbar()->entries()) {
        out.append(b.IsSeparator ? u"%1 gap %2"_s.arg(b.Tooltip).arg(b.ImageIndex)
                                 : u"%1=%2|%3"_s.arg(b.Tooltip, b.Command).arg(b.ImageIndex));
    }
    return out;
}

QStringList addOns(const Configuration &config)
{
    QStringList out;
    for (const AddOnEntry &a : config.addOns()->entries())
        out.append(a.Name + u'=' + a.CommandLine + u';' + a.Parameters);
    return out;
}

// Writes file (null: none) as QTA.INI in folder, then sets config up as the window does and loads it.
bool loadFrom(Configuration &config, const QString &folder, const QByteArray &file)
{
    QFile ini(IniFilePath(folder));
    if (!file.isNull() && (!ini.open(QIODevice::WriteOnly) || ini.write(file) != file.size()))
        return false;
    ini.close();
    SetupButtonImages(config);
    ResetToolbar(config);
    return LoadConfiguration(config, folder).ok;
}

} // namespace

class tst_Configuration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        FileSafety::setWriteLimitForTesting(-1);
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no QTA.INI at all
        QTest::addColumn<QStringList>("addOns");
        QTest::addColumn<QStringList>("buttons");

        QTest::addRow("missing file") << QByteArray() << QStringList() << kDefaultButtons;
        QTest::addRow("three add-ons, seven buttons")
            << crlf(kSample)
            << QStringList{u"Sheet Printer=C:\\PROGRA~1\\SHEETP~1\\SHEETP.EXE;%charfile%"_s,
                           u"Batch Export=C:\\TOOLS\\BATCH.EXE -q;%filelistquoted%"_s,
                           u"Notes=C:\\WINDOWS\\NOTEPAD.EXE;(none)"_s}
            << QStringList{u"New=NEW|1"_s,        u"Open=LOAD|2"_s, u"Save=SAVE|3"_s, u"space4 gap 0"_s,
                           u"Print sheet=RUNADDONBYNAME(Sheet Printer)|8"_s, u"Export all=RUNADDONNUM(1)|4"_s,
                           u"Exit QTA=EXIT|7"_s};
        QTest::addRow("a lone separator is not an empty toolbar")
            << QByteArray("[Toolbits]\nx=|\n") << QStringList() << QStringList{u"x gap 0"_s};
        QTest::addRow("digit on a separator, no bar, empty image key, digit nine")
            << QByteArray("[Toolbits]\nA=|6\nB=PRINT\nC=SAVE|\nD=X|9\n") << QStringList()
            << QStringList{u"A gap 6"_s, u"B=PRINT|-1"_s, u"C=SAVE|-1"_s, u"D=X|9"_s};
        // Nameless lines are entries QTA counts: each keeps its place and its own value. QTA lists none of a
        // section whose first line is nameless, but the lines are still there to show and to keep; one right
        // after another nameless line is not there for QTA at all.
        QTest::addRow("nameless lines") << QByteArray(
            "[Addons]\n=v.exe\nTool=t.exe\n=w.exe\n=gone.exe\n[Toolbits]\n=|\nNew=NEW|1\n=SAVE|3\n")
                                        << QStringList { u"=v.exe;(none)"_s, u"Tool=t.exe;(none)"_s,
                                                         u"=w.exe;(none)"_s }
                                        << QStringList { u" gap 0"_s, u"New=NEW|1"_s, u"=SAVE|3"_s };
        QTest::addRow("section names in another case, macro words only")
            << crlf("[ ADDONS ]\nBoth=%filelistquoted% %CharFile%\n[toolbits]\nNew=NEW|1\n")
            << QStringList{u"Both=;%charfile% %filelistquoted%"_s} << QStringList{u"New=NEW|1"_s};
        // Values as QTA reads them: one pair of enclosing quotes comes off, the rest stays.
        QTest::addRow("add-on values in quotes")
            << QByteArray("[Addons]\nV=\"\"C:\\a.exe\" \"b\"\"\nW=\"x.exe %charfile%\"\nX='\"y\" -q'\n")
            << QStringList { u"V=\"C:\\a.exe\" \"b\";(none)"_s, u"W=x.exe;%charfile%"_s, u"X=\"y\" -q;(none)"_s }
            << kDefaultButtons;
        QTest::addRow("section without entries gives the default toolbar")
            << QByteArray("[Toolbits]\n; nothing yet\nnokey\n[Addons]\n") << QStringList() << kDefaultButtons;
    }

    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, addOns);
        QFETCH(QStringList, buttons);

        QTemporaryDir dir;
        Configuration config;
        QVERIFY(loadFrom(config, dir.path(), file));
        for (int pass = 1; pass <= 2; ++pass) { // a second load must find everything where the first put it
            QCOMPARE(::addOns(config), addOns);
            QCOMPARE(::buttons(config), buttons);
            QStringList commands{u"(none)"_s};
            for (int i = 0; i < config.addOns()->count(); ++i)
                commands += AddOnCommandForms(config.addOns()->at(i).Name, i);
            QCOMPARE(config.addOnCommands(), commands);
            const ConfigResult again = LoadConfiguration(config, dir.path());
            QVERIFY2(again.ok, qPrintable(again.error));
        }
        QCOMPARE(QFileInfo::exists(IniFilePath(dir.path())), !file.isNull()); // loading never writes
    }

    void bitmapKeys()
    {
        QTemporaryDir tmp;
        const QString dir = QFileInfo(tmp.path()).canonicalFilePath();
        writeBytes(dir + u"/a.bmp"_s, "BM");
        writeBytes(dir + u"/b.bmp"_s, "BM");
        const QString a = dir + u"/a.bmp"_s, b = dir + u"/b.bmp"_s, missing = dir + u"/gone/SHEET.BMP"_s;
        // An existing file's key: its short path on Windows, the (canonical) path itself elsewhere.
        const QString aKey = GetShortPath(a), bKey = GetShortPath(b);
        const QString file = u"[General]\n[Toolbits]\nA=X|%1\nB=X|%2\nC=X|%3\nD=Y|%3\nE=X|%4\n"_s;
        Configuration config;
        QVERIFY(loadFrom(config, dir, file.arg(a, dir + u"/./a.bmp"_s, missing, b).toUtf8()));
        QCOMPARE(buttons(config), (QStringList{u"A=X|8"_s, u"B=X|8"_s, u"C=X|9"_s, u"D=Y|9"_s, u"E=X|10"_s}));
        QCOMPARE(config.images()->keyAt(8), aKey);
        QCOMPARE(config.images()->keyAt(9), missing);
        QCOMPARE(config.images()->at(9).Source, missing);

        // Both spellings of a.bmp name one picture; the missing file keeps its path as written.
        QVERIFY(SaveConfiguration(config, dir));
        QCOMPARE(readBytes(IniFilePath(dir)), file.arg(aKey, aKey, missing, bKey).toUtf8());

        // Pictures from index 9 on go at each load; index 8 stays even when no button uses it any more.
        writeBytes(IniFilePath(dir), (u"[Toolbits]\nE=X|"_s + b + u'\n').toUtf8());
        for (int pass = 1; pass <= 2; ++pass) {
            QVERIFY(LoadConfiguration(config, dir));
            QCOMPARE(buttons(config), QStringList{u"E=X|9"_s});
            QCOMPARE(config.images()->count(), 10);
            QCOMPARE(config.images()->keyAt(8), aKey);
        }
        writeBytes(IniFilePath(dir), "[Toolbits]\nNew=NEW|1\n");
        QVERIFY(LoadConfiguration(config, dir));
        QCOMPARE(config.images()->count(), 9);
    }

    void unreadableFileChangesNothing()
    {
        QTemporaryDir dir;
        Configuration config;
        QVERIFY(loadFrom(config, dir.path(), crlf(kSample)));
        const QStringList before = addOns(config) + buttons(config) + config.addOnCommands();

        QVERIFY(QFile::remove(IniFilePath(dir.path())));
        QVERIFY(QDir(dir.path()).mkdir(u"QTA.INI"_s));
        const ConfigResult load = LoadConfiguration(config, dir.path());
        QVERIFY(!load.ok);
        QVERIFY2(load.error.contains(QDir::toNativeSeparators(IniFilePath(dir.path()))), qPrintable(load.error));
        QCOMPARE(addOns(config) + buttons(config) + config.addOnCommands(), before);
        QCOMPARE(config.images()->count(), 9);

        QVERIFY(!SaveConfiguration(config, dir.path()).ok);
        QVERIFY(QFileInfo(IniFilePath(dir.path())).isDir());
    }

    void resetToolbarKeepsAddOns()
    {
        QTemporaryDir dir;
        Configuration config;
        QVERIFY(loadFrom(config, dir.path(), crlf(kSample)));
        const QStringList addOnsBefore = addOns(config) + config.addOnCommands();
        config.images()->add(ButtonImageEntry{u"/x/y.bmp"_s, u"/x/y.bmp"_s, false});

        ResetToolbar(config);
        QCOMPARE(buttons(config), kDefaultButtons);
        QCOMPARE(addOns(config) + config.addOnCommands(), addOnsBefore);
        QCOMPARE(config.images()->count(), 9);
        QCOMPARE(readBytes(IniFilePath(dir.path())), crlf(kSample)); // the file waits for a save
    }

    void saveKeepsOtherBytes_data()
    {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QByteArray>("expected"); // null: the original, already in order

        const QByteArray sample = crlf(kSample);
        QTest::addRow("sections in the middle move to the end")
            << crlf("; QTA settings\n\n[General]\nLast=C:\\DATA\\X.QTA\n\n" + kSample + "\n[Window]\nLeft=10\n")
            << crlf("; QTA settings\n\n[General]\nLast=C:\\DATA\\X.QTA\n\n[Window]\nLeft=10\n") + sample;
        QTest::addRow("last line without a line end") << sample + "[General]\r\nA=1" << "[General]\r\nA=1\r\n" + sample;
        QTest::addRow("every copy of both sections goes")
            << sample + "[Other]\r\nX=1\r\n[ADDONS]\r\nStale=old.exe\r\n[toolbits]\r\nStale=NEW|1\r\n"
            << "[Other]\r\nX=1\r\n" + sample;
        QTest::addRow("utf-8 file already in order") << "\xEF\xBB\xBF[General]\r\nArrow=\xE2\x86\x92\r\n" + sample
                                                     << QByteArray();
    }

    void saveKeepsOtherBytes()
    {
        QFETCH(QByteArray, original);
        QFETCH(QByteArray, expected);
        if (expected.isNull())
            expected = original;

        QTemporaryDir dir;
        const QString path = IniFilePath(dir.path());
        Configuration config;
        QVERIFY(loadFrom(config, dir.path(), original));
        const ConfigResult first = SaveConfiguration(config, dir.path());
        QVERIFY2(first.ok, qPrintable(first.error));
        QCOMPARE(readBytes(path), expected);

        // Nothing changed since: the file is not even rewritten.
        const QDateTime old = QDateTime::currentDateTimeUtc().addDays(-3);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(old, QFileDevice::FileModificationTime));
        }
        QVERIFY(LoadConfiguration(config, dir.path()));
        QVERIFY(SaveConfiguration(config, dir.path()));
        QCOMPARE(readBytes(path), expected);
        QCOMPARE(QFileInfo(path).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
    }

    void saveKeepsChangesMadeAfterLoading()
    {
        QTemporaryDir dir;
        Configuration config;
        QVERIFY(loadFrom(config, dir.path(), crlf("[General]\nA=1\n" + kSample)));

        // QTA itself writes its own section meanwhile.
        writeBytes(IniFilePath(dir.path()), crlf("[General]\nA=2\nB=new\n" + kSample + "[Recent]\nFile1=x.qta\n"));
        config.toolbar()->remove(3);
        config.addOns()->removeAddOn(0);
        QVERIFY(SaveConfiguration(config, dir.path()));
        const QByteArray kept = QByteArray(kSample)
                                    .replace("Sheet Printer=C:\\PROGRA~1\\SHEETP~1\\SHEETP.EXE %charfile%\n", "")
                                    .replace("space4=|\n", "");
        QCOMPARE(readBytes(IniFilePath(dir.path())), crlf("[General]\nA=2\nB=new\n[Recent]\nFile1=x.qta\n" + kept));
    }

    void saveToNewFile()
    {
        QTemporaryDir dir;
        QCOMPARE(IniFilePath(dir.path() + u'/'), dir.path() + u"/QTA.INI"_s);
        Configuration config;
        QVERIFY(loadFrom(config, dir.path(), QByteArray()));
        config.toolbar()->reset({});
        QVERIFY(SaveConfiguration(config, dir.path())); // nothing to write: no file appears
        QVERIFY(!QFileInfo::exists(IniFilePath(dir.path())));

        ResetToolbar(config);
        config.addOns()->appendAddOn(AddOnEntry{u"Sheet Printer"_s, u"C:\\SHEET\\SP.EXE"_s, u"%charfile%"_s});
        QVERIFY(SaveConfiguration(config, dir.path()));
        QCOMPARE(readBytes(IniFilePath(dir.path())),
                 crlf("[Addons]\nSheet Printer=C:\\SHEET\\SP.EXE %charfile%\n[Toolbits]\nNew=NEW|1\nLoad...=LOAD|2\n"
                      "Save=SAVE|3\nspace4=|\nPrint=PRINT|4\nPrint Preview=PREVIEW|5\nspace7=|\n"
                      "Preferences...=PREFERENCES|6\nExit QTA=EXIT|7\n"));

        // Keys that are equal as the file compares them make one line: the first place, the last value.
        QVERIFY(QFile::remove(IniFilePath(dir.path())));
        config.addOns()->setEntries({});
        config.toolbar()->reset({{u"Save"_s, u"SAVE"_s, 3, false},
                                 {u"New"_s, u"NEW"_s, 1, false},
                                 {u"save"_s, u"SAVEAS"_s, -1, false},
                                 {u"space4"_s, u"ignored"_s, 5, true}});
        QVERIFY(SaveConfiguration(config, dir.path()));
        QCOMPARE(readBytes(IniFilePath(dir.path())), "[Toolbits]\r\nSave=SAVEAS|\r\nNew=NEW|1\r\nspace4=|\r\n");

        // Nameless entries are never one key: each keeps a line at its place, as QTA counts them.
        config.addOns()->setEntries({ { QString(), u"a.exe"_s, u"(none)"_s },
                                      { u"B"_s, u"b.exe"_s, u"(none)"_s },
                                      { u" "_s, u"c.exe"_s, u"(none)"_s } });
        config.toolbar()->reset({});
        QVERIFY(SaveConfiguration(config, dir.path()));
        QCOMPARE(readBytes(IniFilePath(dir.path())), "[Addons]\r\n=a.exe\r\nB=b.exe\r\n=c.exe\r\n");
        // A read drops a nameless line right after another: such a save is refused, and says which entry.
        // "a" repeats "A" and adds no line of its own.
        config.addOns()->setEntries({ { u"A"_s, u"a.exe"_s, u"(none)"_s },
                                      { QString(), u"b.exe"_s, u"(none)"_s },
                                      { u"a"_s, u"c.exe"_s, u"(none)"_s },
                                      { u" "_s, u"d.exe"_s, u"(none)"_s } });
        const ConfigResult refused = SaveConfiguration(config, dir.path());
        QVERIFY(!refused.ok);
        QVERIFY2(refused.error.contains(u"Add-on in row 4 (\" \"): it has no name"_s), qPrintable(refused.error));
        QVERIFY2(!refused.error.contains(u"row 2"_s), qPrintable(refused.error));
        QCOMPARE(readBytes(IniFilePath(dir.path())), "[Addons]\r\n=a.exe\r\nB=b.exe\r\n=c.exe\r\n");
    }

    // The line a save writes for an entry, and the entry a load of that line gives back.
    void savedLine_data()
    {
        QTest::addColumn<bool>("isButton");
        QTest::addColumn<QString>("key"); // tooltip or add-on name
        QTest::addColumn<QString>("text"); // command or command line
        QTest::addColumn<QString>("more"); // a button's picture digit, or an add-on's parameters
        QTest::addColumn<QByteArray>("line");

        const QString none = u"(none)"_s;
        // A read takes one pair of enclosing quotes and the blanks at both ends off a value: a value it would
        // change goes into the file inside one pair of quotes, which the read takes off again.
        QTest::addRow("command line in quotes from end to end")
            << false << u"Viewer"_s << u"\"C:\\Program Files\\v.exe\" \"C:\\data\\a b.txt\""_s << none
            << QByteArray("Viewer=\"\"C:\\Program Files\\v.exe\" \"C:\\data\\a b.txt\"\"");
        QTest::addRow("quoted program, then a parameter")
            << false << u"Viewer"_s << u"\"C:\\a.exe\" \"b\""_s << u"%charfile%"_s
            << QByteArray("Viewer=\"C:\\a.exe\" \"b\" %charfile%");
        QTest::addRow("single quotes") << false << u"Q"_s << u"'q'"_s << none << QByteArray("Q=\"'q'\"");
        QTest::addRow("one quote alone") << false << u"Q"_s << u"\""_s << none << QByteArray("Q=\"");
        QTest::addRow("blank before, tab after")
            << false << u"Pad"_s << u" pad.exe\t"_s << none << QByteArray("Pad=\" pad.exe\t\"");
        QTest::addRow("parameters without a command line")
            << false << u"Both"_s << QString() << u"%charfile% %filelistquoted%"_s
            << QByteArray("Both=%charfile% %filelistquoted%");
        QTest::addRow("command with a blank before it")
            << true << u"Open"_s << u" LOAD"_s << u"2"_s << QByteArray("Open=\" LOAD|2\"");
        // Only an empty command makes a separator.
        QTest::addRow("blank command") << true << u"Tip"_s << u" "_s << u"3"_s << QByteArray("Tip=\" |3\"");
        QTest::addRow("nameless add-on") << false << QString() << u"C:\\B.EXE"_s << none << QByteArray("=C:\\B.EXE");
        QTest::addRow("nameless button") << true << QString() << u"NEW"_s << u"1"_s << QByteArray("=NEW|1");
        // A line that starts with "[" is a section header only when it holds "]".
        QTest::addRow("add-on name starting with [")
            << false << u"[Tool"_s << u"C:\\T.EXE"_s << none << QByteArray("[Tool=C:\\T.EXE");
        QTest::addRow("tooltip starting with [") << true << u"[Tip"_s << u"NEW"_s << u"1"_s << QByteArray("[Tip=NEW|1");
    }

    void savedLine()
    {
        QFETCH(bool, isButton);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, more);
        QFETCH(QByteArray, line);

        QTemporaryDir dir;
        Configuration config;
        QVERIFY(loadFrom(config, dir.path(), QByteArray()));
        config.toolbar()->reset({});
        const ToolbarButtonEntry button { key, text, more.toInt(), false };
        const AddOnEntry addOn { key, text, more };
        if (isButton)
            config.toolbar()->append(button);
        else
            config.addOns()->appendAddOn(addOn);
        const ConfigResult saved = SaveConfiguration(config, dir.path());
        QVERIFY2(saved.ok, qPrintable(saved.error));
        QCOMPARE(readBytes(IniFilePath(dir.path())), (isButton ? "[Toolbits]\r\n" : "[Addons]\r\n") + line + "\r\n");

        QVERIFY(LoadConfiguration(config, dir.path()));
        if (isButton)
            QCOMPARE(config.toolbar()->entries(), QList<ToolbarButtonEntry> { button });
        else
            QCOMPARE(config.addOns()->entries(), QList<AddOnEntry> { addOn });
    }

    void saveRefuses_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("isButton");
        QTest::addColumn<QString>("key");   // tooltip or add-on name
        QTest::addColumn<QString>("text");  // command or command line
        QTest::addColumn<QString>("named"); // how the error names the entry

        // The default toolbar has nine buttons and the list one add-on; the bad entry comes last. Which keys
        // and values a file can hold at all is the INI layer's own suite; here: each kind reaches the message.
        QTest::addRow("add-on name starting with [, ] in its command line")
            << true << false << u"[Tool"_s << u"C:\\x]y.exe"_s << u"Add-on in row 2 (\"[Tool\")"_s;
        QTest::addRow("tooltip starting with [, holding ]")
            << true << true << u"[Tip]"_s << u"NEW"_s << u"Toolbar button 10 (\"[Tip]\")"_s;
        QTest::addRow("add-on name looks like a comment") << true << false << u";Tool"_s << u"x.exe"_s
                                                          << u"Add-on in row 2 (\";Tool\")"_s;
        QTest::addRow("carriage return in command") << true << true << u"Go"_s << u"NEW\r"_s << u"(\"Go\")"_s;
        QTest::addRow("line feed in command line") << true << false << u"Tool"_s << u"x.exe\n-q"_s << u"(\"Tool\")"_s;
        QTest::addRow("arrow in an 8-bit file") << true << true << u"Next \u2192"_s << u"NEW"_s << u"Next \u2192"_s;
        QTest::addRow("arrow in a new file") << false << false << u"Tool"_s << u"C:\\\u2192.exe"_s << u"(\"Tool\")"_s;
        // A bar in a command moves the split: the rest would load as a bitmap path. Add-on names reach
        // commands through the RUNADDON forms, so this is one grid edit away.
        QTest::addRow("bar in a command") << true << true << u"Run"_s << u"RUNADDON(A|B)"_s << u"(\"Run\")"_s;
        // A normal button with an empty command would load back as a separator.
        QTest::addRow("normal button without command") << true << true << u"Blank"_s << QString() << u"(\"Blank\")"_s;
    }

    void saveRefuses()
    {
        QFETCH(bool, existing);
        QFETCH(bool, isButton);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, named);

        QTemporaryDir dir;
        const QString path = IniFilePath(dir.path());
        const QByteArray original = crlf("[General]\nA=1\n[Toolbits]\nOld=OLD|1\n");
        Configuration config;
        QVERIFY(loadFrom(config, dir.path(), QByteArray()));
        if (existing)
            writeBytes(path, original);
        config.addOns()->appendAddOn(AddOnEntry{u"Good"_s, u"good.exe"_s, u"(none)"_s});
        if (isButton)
            config.toolbar()->append(ToolbarButtonEntry{key, text, 1, false});
        else
            config.addOns()->appendAddOn(AddOnEntry{key, text, u"(none)"_s});

        const ConfigResult result = SaveConfiguration(config, dir.path());
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(QDir::toNativeSeparators(path)), qPrintable(result.error));
        QVERIFY2(result.error.contains(named), qPrintable(result.error));
        QVERIFY2(!result.error.contains(u"Good"_s) && !result.error.contains(u"Exit QTA"_s), qPrintable(result.error));
        QCOMPARE(QFileInfo::exists(path), existing);
        QCOMPARE(readBytes(path), existing ? original : QByteArray());

        // Every bad entry is named, not just the first.
        config.toolbar()->replace(0, ToolbarButtonEntry{u"x=y"_s, u"NEW"_s, 1, false});
        const QString both = SaveConfiguration(config, dir.path()).error;
        QVERIFY2(both.contains(named) && both.contains(u"Toolbar button 1 (\"x=y\")"_s), qPrintable(both));

        // In a UTF-8 file the arrow is fine.
        if (key.contains(u'\u2192') || text.contains(u'\u2192')) {
            config.toolbar()->replace(0, DefaultToolbar().first());
            writeBytes(path, "\xEF\xBB\xBF" + original);
            QVERIFY(SaveConfiguration(config, dir.path()));
            QVERIFY(readBytes(path).contains("\xE2\x86\x92"));
        }
    }

    void saveFailureKeepsOldFile_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addRow("missing folder") << u"folder"_s;
        QTest::addRow("read-only file") << u"read-only"_s;
        QTest::addRow("short write") << u"short"_s;
    }

    void saveFailureKeepsOldFile()
    {
        QFETCH(QString, failure);

        QTemporaryDir tmp;
        const QString folder = failure == u"folder"_s ? tmp.filePath(u"not there"_s) : tmp.path();
        const QString path = IniFilePath(folder);
        const QByteArray original = crlf("[General]\nA=1\n" + kSample);
        Configuration config;
        QVERIFY(loadFrom(config, tmp.path(), original));
        config.toolbar()->remove(0);
        if (failure == u"read-only"_s)
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        if (failure == u"short"_s)
            FileSafety::setWriteLimitForTesting(40);

        const ConfigResult result = SaveConfiguration(config, folder);
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(QDir::toNativeSeparators(path)), qPrintable(result.error));
        QVERIFY(!QFileInfo::exists(tmp.filePath(u"not there"_s)));
        QCOMPARE(readBytes(IniFilePath(tmp.path())), original);
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"QTA.INI"_s});
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
};

QTEST_GUILESS_MAIN(tst_Configuration)
#include "tst_configuration.moc"
