// The main window as a user meets it; each story ends in what the window shows and in the bytes of QTA.INI.
#include "editorwindow.h"

#include <QDialog>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <cstdio>

const auto native = [](const QString &path) { return QDir::toNativeSeparators(path); };

// The user's own store of remembered folders as programs that know nothing of Qt see it: the registry key,
// through the system's reg.exe, on Windows; the configuration file elsewhere.
namespace usersStore {
#ifdef Q_OS_WIN
const QString kKey = u"HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\QTAEdit\\Folders"_s;

bool reg(const QStringList &arguments)
{
    QProcess process;
    process.start(u"reg.exe"_s, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
void clear()
{
    reg({ u"delete"_s, kKey, u"/f"_s });
}
bool write(const QStringList &keys, const QStringList &values)
{
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (!reg({ u"add"_s, kKey, u"/v"_s, keys[i], u"/t"_s, u"REG_SZ"_s, u"/d"_s, values[i], u"/f"_s }))
            return false;
    }
    return true;
}
#else
const auto file = [] { return qEnvironmentVariable("XDG_CONFIG_HOME") + u"/QTAEdit/QTAEdit.conf"_s; };
const auto clear = [] { QFile::remove(file()); };
bool write(const QStringList &keys, const QStringList &values)
{
    QByteArray text = "[Folders]\n";
    for (qsizetype i = 0; i < keys.size(); ++i)
        text += (keys[i] + u'=' + values[i] + u'\n').toUtf8();
    if (!QDir().mkpath(QFileInfo(file()).path()))
        return false;
    writeBytes(file(), text);
    return true;
}
#endif
} // namespace usersStore

class tst_FrmEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { EditorWindow::checkNothingLeft(); }
    void initTestCase()
    {
#ifndef Q_OS_WIN
        // Before the first settings object, which fixes where the user's store is: never the user's own.
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
#endif
    }

    // The first run asks for a folder that holds QTA.INI; cancelled, the program ends without writing anything.
    void firstRunAsksForTheFolder()
    {
        EditorWindow w;
        FolderSettings::setStoreFolderForTesting(w.otherFolder(u"fresh store"_s));
        FolderBrowser::setNextAnswerForTesting([](FolderBrowser &) { return QString(); });
        QVERIFY(!w.start());
        QCOMPARE(FolderSettings::read(FolderSettings::iniKey(), u"none"_s), u"none"_s);
        FolderBrowser::setNextAnswerForTesting([&](FolderBrowser &browser) {
            const bool asked = browser.title() == u"Please browse for your QTA.INI file"_s;
            return asked && browser.simulateSelection(w.folder()) ? w.folder() : QString();
        });
        QVERIFY(w.start());
        QCOMPARE(FolderSettings::read(FolderSettings::iniKey()), w.folder());
        QCOMPARE(w.fileBytes(), kHostIni);
    }

    void folderCommands_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("accepted"); // a file that makes a folder acceptable, in any letter case
        QTest::addRow("QTA.INI") << u"Set QTA.INI Path"_s << FolderSettings::iniKey() << u"qta.ini"_s;
        QTest::addRow("bitmaps") << u"Set Bitmaps Path"_s << FolderSettings::bitmapsKey() << u"a.Bmp"_s;
        QTest::addRow("add-ons") << u"Set Add-Ons Path"_s << FolderSettings::exesKey() << u"TOOL.exe"_s;
    }

    // OK only on a folder holding a file of the kind; cancelled, the folder it had stays remembered.
    void folderCommands()
    {
        QFETCH(QString, caption);
        QFETCH(QString, key);
        QFETCH(QString, accepted);
        EditorWindow w;
        const QString good = w.otherFolder(u"good"_s), bad = w.otherFolder(u"bad"_s);
        writeBytes(good + u'/' + accepted, "x");
        writeBytes(bad + u'/' + QFileInfo(accepted).completeBaseName() + u".txt"_s, "x");
        QVERIFY(QDir().mkpath(bad + u'/' + accepted));
        QVERIFY(w.start());
        if (key == FolderSettings::exesKey())
            w.clickTab(2);
        const QString before = FolderSettings::read(key, native(QCoreApplication::applicationDirPath()));
        bool okOnBad = true, okOnGood = false;
        FolderBrowser::setNextAnswerForTesting([&](FolderBrowser &browser) {
            okOnBad = browser.simulateSelection(bad);
            okOnGood = browser.simulateSelection(good);
            return QString();
        });
        w.clickCommand(caption);
        QVERIFY(!okOnBad && okOnGood);
        QCOMPARE(FolderSettings::read(key), before);
        FolderBrowser::setNextAnswerForTesting([good](FolderBrowser &) { return good; });
        w.clickCommand(caption);
        QCOMPARE(FolderSettings::read(key), good);
    }

    void savingAfterChangingTheIniFolder_data()
    {
        QTest::addColumn<bool>("byTabSwitch");
        QTest::addColumn<bool>("agree");
        QTest::addRow("Save INI") << false << true;
        QTest::addRow("tab switch, cancelled") << true << false;
    }

    // The lists shown go to the new folder's file, which is asked about and backed up once; the old one is kept.
    void savingAfterChangingTheIniFolder()
    {
        QFETCH(bool, byTabSwitch);
        QFETCH(bool, agree);
        const QByteArray theirs = "[Addons]\r\nCalc=C:\\CALC.EXE\r\n[Toolbits]\r\nOpen=LOAD|2\r\n[Window]\r\nMax=1\r\n";
        EditorWindow w;
        QVERIFY(w.start());
        const QString other = w.otherFolder(u"other"_s) + u"/QTA.INI"_s;
        writeBytes(other, theirs);
        FolderBrowser::setNextAnswerForTesting([other](FolderBrowser &) { return QFileInfo(other).path(); });
        w.clickCommand(u"Set QTA.INI Path"_s);
        QVERIFY(w.window->windowTitle().contains(native(other)));
        // The question names the file to be replaced and the one the lists were read from.
        w.answerMessage(native(w.iniPath()), agree ? QMessageBox::Save : QMessageBox::Cancel);
        byTabSwitch ? w.clickTab(2) : w.clickCommand(u"Save INI"_s);
        QVERIFY(EditorWindow::messages().first().contains(native(other)));
        QCOMPARE(w.fileBytes(), kHostIni);
        QVERIFY(!QFile::exists(w.iniPath() + u".bak"_s));
        QCOMPARE(readBytes(other),
                 agree ? "[Window]\r\nMax=1\r\n" + kHostIni.mid(kHostIni.indexOf("[Addons]")) : theirs);
        // The file is the editor's now: the next save neither asks nor backs up again.
        if (!agree)
            w.answerMessage(native(w.iniPath()), QMessageBox::Cancel);
        w.clickCommand(u"Save INI"_s);
        QCOMPARE(EditorWindow::messages().size(), agree ? 1 : 2);
        QCOMPARE(readBytes(other + u".bak"_s), agree ? theirs : QByteArray());
    }

    // A tab switch stores an open edit, saves and loads again: the history starts afresh, add-on row 1 is current.
    void tabSwitchSavesAndReloads()
    {
        EditorWindow w;
        QVERIFY(w.start());
        w.clickTab(2);
        QVERIFY(w.grid()->isVisible() && w.commands()->isVisible());
        QCOMPARE(w.currentRow(), 1);
        QVERIFY(w.control(u"cmdKillAddOn"_s)->isEnabled());
        w.startCellEdit(1, 1);
        EditorWindow::typeOver(QApplication::focusWidget(), u"Printer"_s);
        w.clickTab(2); // the tab shown: nothing to switch
        QVERIFY(w.editing());
        w.clickTab(1);
        QCOMPARE(w.fileBytes(), QByteArray(kHostIni).replace("\nSheet Printer=", "\nPrinter="));
        QVERIFY(!w.grid()->isVisible() && !w.editing());
        QCOMPARE(w.offered(u"Undo"_s), QString());
        // The button that ran the renamed add-on is marked, its command kept; the panel offers the new name.
        QCOMPARE(w.preview()->buttonMark(2),
                 u"No add-on is named \"Sheet Printer\": this button will do nothing in QTA."_s);
        w.chooseFromButtonMenu(0, u"T4"_s);
        QVERIFY(w.control<QComboBox>(u"cmbboxCommandAddOns"_s)->findText(u"RUNADDON(Printer)"_s) >= 0);
        // Save INI stores an open edit too.
        EditorWindow::typeOver(w.control(u"txtTooltip"_s), u"Exporter"_s);
        w.clickCommand(u"Save INI"_s);
        QVERIFY(!w.panelOpen() && w.fileBytes().contains("\r\nExporter=NEW|1\r\n"));
        w.clickTab(2);
        w.clickCell(2, 2);
        w.clickCommand(u"Reload INI"_s);
        QCOMPARE(w.currentRow(), 1);
    }

    // A save that cannot write leaves no backup, and the tab switch keeps the lists instead of loading over them.
    void failedSaveKeepsTheListsAndMakesNoBackup()
    {
        EditorWindow w;
        QVERIFY(w.start());
        QVERIFY(QFile::setPermissions(w.iniPath(), QFile::ReadOwner));
        w.chooseFromButtonMenu(0, u"T1"_s);
        w.answerMessage(u"read-only"_s, QMessageBox::Ok);
        w.clickTab(2);
        QVERIFY(EditorWindow::messages().first().contains(native(w.iniPath())));
        QVERIFY(!QFile::exists(w.iniPath() + u".bak"_s));
        QCOMPARE(w.fileBytes(), kHostIni);
        QCOMPARE(w.preview()->buttonCount(), 2);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Delete Button"_s);
        QVERIFY(QFile::setPermissions(w.iniPath(), QFile::ReadOwner | QFile::WriteOwner));
    }

    void unsavedChangesAreAskedAbout_data()
    {
        QTest::addColumn<int>("how"); // 0: Exit, 1: the close box, 2: Reload INI
        QTest::addColumn<bool>("change");
        QTest::addColumn<int>("answer"); // NoButton: no question
        QTest::addRow("nothing changed") << 0 << false << int(QMessageBox::NoButton);
        QTest::addRow("changed, Save") << 0 << true << int(QMessageBox::Save);
        QTest::addRow("changed, Discard") << 1 << true << int(QMessageBox::Discard);
        QTest::addRow("changed, Cancel") << 0 << true << int(QMessageBox::Cancel);
        QTest::addRow("changed back by undo") << 1 << true << int(QMessageBox::NoButton);
        QTest::addRow("Reload INI, Cancel") << 2 << true << int(QMessageBox::Cancel);
        QTest::addRow("Reload INI, Discard") << 2 << true << int(QMessageBox::Discard);
    }

    // Exit, the close box and Reload INI ask about changes not saved yet, and only then.
    void unsavedChangesAreAskedAbout()
    {
        QFETCH(int, how);
        QFETCH(bool, change);
        QFETCH(int, answer);
        EditorWindow w;
        QVERIFY(w.start());
        if (change)
            w.chooseFromButtonMenu(0, u"T1"_s);
        if (change && answer == QMessageBox::NoButton)
            w.clickCommand(u"Undo"_s);
        if (answer != QMessageBox::NoButton)
            w.answerMessage(u"not been saved"_s, QMessageBox::StandardButton(answer));
        how == 1 ? void(w.window->close()) : w.clickCommand(how == 2 ? u"Reload INI"_s : u"Exit"_s);
        QCOMPARE(w.window->isVisible(), how == 2 || answer == QMessageBox::Cancel);
        QCOMPARE(EditorWindow::messages().size(), answer == QMessageBox::NoButton ? 0 : 1);
        QCOMPARE(w.fileBytes(),
                 answer == QMessageBox::Save ? QByteArray(kHostIni).replace("New=NEW|1\r\n", "") : kHostIni);
        if (how == 2)
            QCOMPARE(w.preview()->buttonCount(), answer == QMessageBox::Discard ? 3 : 2);
    }

    // Undo with an edit open undoes its typing, else closes it unstored; the history waits for the next undo.
    void undoActsOnTheOpenEdit()
    {
        EditorWindow w;
        QVERIFY(w.start());
        w.chooseFromButtonMenu(2, u"T1"_s); // the change the history holds
        w.chooseFromButtonMenu(0, u"T4"_s);
        auto *tooltip = w.control<QLineEdit>(u"txtTooltip"_s);
        QTest::keyClicks(tooltip, u"abc"_s);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Typing"_s);
        QTest::keyClick(tooltip, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(tooltip->text(), u"New"_s);
        QCOMPARE(w.offered(u"Redo"_s), u"Redo Typing"_s);
        w.clickCommand(u"Undo"_s);
        QVERIFY(!w.panelOpen());
        w.chooseFromButtonMenu(0, u"T4"_s);
        auto *commands = w.control<QComboBox>(u"cmbboxCommandNoAddOns"_s);
        EditorWindow::pick(commands, u"PRINT"_s);
        commands->setFocus();
        QTest::keyClick(commands, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!w.panelOpen());
        QCOMPARE(w.preview()->buttonCount(), 2);
        w.clickCommand(u"Undo"_s);
        QCOMPARE(w.savedSection("Toolbits"), sectionOf(kHostIni, "Toolbits"));
        // The same for a grid edit.
        w.clickTab(2);
        QTest::mouseClick(w.control(u"cmdKillAddOn"_s), Qt::LeftButton);
        w.startCellEdit(1, 1);
        auto *name = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QTest::keyClicks(name, u"abc"_s);
        w.clickCommand(u"Undo"_s);
        QVERIFY(w.editing() && name->text() == u"Notes"_s);
        w.clickCommand(u"Undo"_s);
        QVERIFY(!w.editing() && w.grid()->model()->rowCount() == 1);
    }

    // Entries that are one key of the file are marked, and a save says which one survives before it writes.
    void collidingKeysAreMarkedAndAskedAbout()
    {
        const QByteArray ini = "[Addons]\r\nA=a.exe\r\nB=b.exe\r\na=c.exe\r\n[Toolbits]\r\nN=NEW|1\r\n";
        EditorWindow w(ini);
        QVERIFY(w.start());
        QCOMPARE(w.preview()->buttonMark(0), QString());
        for (int row = 1; row <= 3; ++row)
            QCOMPARE(w.nameWarning(row).contains(u"same name"_s), row != 2);
        w.answerMessage(u"one line"_s, QMessageBox::Cancel);
        w.clickCommand(u"Save INI"_s);
        QCOMPARE(w.fileBytes(), ini);
        QVERIFY2(EditorWindow::messages().first().contains(u"with the command line of row 3"_s),
                 qPrintable(EditorWindow::messages().first()));
        w.answerMessage(u"one line"_s, QMessageBox::Save);
        w.clickCommand(u"Save INI"_s);
        QCOMPARE(EditorWindow::messages().size(), 2);
        QCOMPARE(w.fileBytes(), QByteArray(ini).replace("a=c.exe\r\n", ""));
    }

    void remarksOnTheFileAreMadeOnce_data()
    {
        QTest::addColumn<QByteArray>("ini"); // null: no file
        QTest::addColumn<bool>("noFolder");
        QTest::addColumn<QString>("said");
        QTest::addRow("missing file") << QByteArray() << false << "was not found. The editor shows the default toolbar";
        QTest::addRow("missing folder") << QByteArray() << true
                                        << "does not exist. The editor shows the default toolbar";
        QTest::addRow("NUL bytes") << kHostIni + QByteArray("[Blob]\r\nData=\0\1\r\n", 17) << false << "NUL";
    }

    // What is odd about the file is said at start-up (and by Reload INI where it still holds), not on tab switches.
    void remarksOnTheFileAreMadeOnce()
    {
        QFETCH(QByteArray, ini);
        QFETCH(bool, noFolder);
        QFETCH(QString, said);
        const bool onReload = ini.isNull(); // a missing file is said again, the rest only once
        EditorWindow w(ini);
        if (noFolder)
            QDir(w.folder()).removeRecursively();
        w.answerMessage(said, QMessageBox::Ok);
        QVERIFY(w.start());
        QVERIFY2(EditorWindow::messages().value(0).contains(said), qPrintable(EditorWindow::messages().value(0)));
        if (onReload)
            w.answerMessage(said, QMessageBox::Ok);
        w.clickCommand(u"Reload INI"_s);
        QCOMPARE(EditorWindow::messages().size(), onReload ? 2 : 1);
        if (noFolder)
            return;
        // The switch saves, which creates a missing file: nothing more to say.
        w.clickTab(2);
        w.clickTab(1);
        QCOMPARE(EditorWindow::messages().size(), onReload ? 2 : 1);
        QVERIFY(QFile::exists(w.iniPath()));
    }

    void outsideChangeBeforeSave_data()
    {
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<int>("answer");
        QTest::addRow("changed, Overwrite") << false << int(QMessageBox::Save);
        QTest::addRow("changed, Reload") << false << int(QMessageBox::Discard);
        QTest::addRow("changed, Cancel") << false << int(QMessageBox::Cancel);
        QTest::addRow("deleted, Save anyway") << true << int(QMessageBox::Save);
    }

    // Another program changed or deleted the file: Save INI asks, and each answer does what it says.
    void outsideChangeBeforeSave()
    {
        QFETCH(bool, deleted);
        QFETCH(int, answer);
        EditorWindow w;
        QVERIFY(w.start());
        w.chooseFromButtonMenu(0, u"T1"_s);
        const QByteArray theirs = deleted ? QByteArray() : QByteArray(kHostIni).replace("3.2", "4.0");
        deleted ? void(QFile::remove(w.iniPath())) : writeBytes(w.iniPath(), theirs);
        w.answerMessage(u"by another program"_s, QMessageBox::StandardButton(answer));
        w.clickCommand(u"Save INI"_s);
        QByteArray ours = deleted ? kHostIni.mid(kHostIni.indexOf("[Addons]")) : theirs;
        QCOMPARE(w.fileBytes(), answer == QMessageBox::Save ? ours.replace("New=NEW|1\r\n", "") : theirs);
        QCOMPARE(readBytes(w.iniPath() + u".bak"_s), answer == QMessageBox::Save ? theirs : QByteArray());
        QCOMPARE(w.preview()->buttonCount(), answer == QMessageBox::Discard ? 3 : 2);
        // Overwritten or reloaded, the file is the editor's again: the next save does not ask.
        if (answer == QMessageBox::Cancel)
            w.answerMessage(u"by another program"_s, QMessageBox::Cancel);
        w.clickCommand(u"Save INI"_s);
        QCOMPARE(EditorWindow::messages().size(), answer == QMessageBox::Cancel ? 2 : 1);
    }

    void outsideChangeIsOffered_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        QTest::addRow("rewritten, Reload") << u"rewrite"_s << int(QMessageBox::Yes);
        QTest::addRow("replaced by rename, Keep my edits") << u"rename"_s << int(QMessageBox::No);
        QTest::addRow("deleted, Keep my edits") << u"delete"_s << int(QMessageBox::No);
    }

    // A change on disk (not the editor's own save) is offered to the window in front, no box open; kept, saves ask.
    void outsideChangeIsOffered()
    {
        QFETCH(QString, how);
        QFETCH(int, answer);
        EditorWindow w;
        QVERIFY(w.start());
        w.answerMessage(u"by another program"_s, QMessageBox::No); // taken only if its own save were offered
        w.clickCommand(u"Save INI"_s);
        QTest::qWait(400); // the watcher reports the save
        QCOMPARE(MessageBox::pendingAnswersForTesting(), 1);
        MessageBox::clearAnswersForTesting();
        w.chooseFromButtonMenu(0, u"T1"_s);
        QWidget other; // the user works in another window meanwhile
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        bool inFront = false;
        MessageBox::setNextAnswerForTesting([&](const MessageBoxRequest &request) {
            inFront = w.window->isActiveWindow() && !QApplication::activeModalWidget();
            return request.text.contains(u"by another program"_s) ? QMessageBox::StandardButton(answer)
                                                                  : QMessageBox::NoButton;
        });
        const QString fresh = w.otherFolder(u"fresh"_s) + u"/QTA.INI"_s;
        how == u"delete"
            ? void(QFile::remove(w.iniPath()))
            : writeBytes(how == u"rename" ? fresh : w.iniPath(), QByteArray(kHostIni).replace("\nNotes=", "\nMemo="));
#ifdef Q_OS_WIN
        if (how == u"rename") // Windows' C library renames only onto a free name
            QVERIFY(QFile::remove(w.iniPath()) && QFile::rename(fresh, w.iniPath()));
#else
        if (how == u"rename")
            QCOMPARE(std::rename(qPrintable(fresh), qPrintable(w.iniPath())), 0);
#endif
        QTest::qWait(400); // long enough for the watcher to see it
        QDialog box(w.window.get()); // back in the window, its own box still open, as some desktops allow
        box.open();
        w.window->activateWindow();
        QTest::qWait(100);
        box.hide();
        QTRY_COMPARE_WITH_TIMEOUT(EditorWindow::messages().size(), 1, 10000);
        QVERIFY(inFront);
        QCOMPARE(w.preview()->buttonCount(), answer == QMessageBox::Yes ? 3 : 2);
        QCOMPARE(w.cellText(2, 1), answer == QMessageBox::Yes ? u"Memo"_s : u"Notes"_s);
        QCOMPARE(w.offered(u"Undo"_s).isEmpty(), answer == QMessageBox::Yes);
        // A later change is offered as well, once written to the end; kept, the save asks before it replaces it.
        w.answerMessage(u"by another program"_s, QMessageBox::No);
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        writeBytes(w.iniPath(), QByteArray(kHostIni).replace("3.2", "4.0"));
        const QDeadlineTimer stillWriting(100); // a busy machine may outlast it: then there is nothing to check
        w.window->activateWindow(); // back at once, while the other program may still be writing
        QTest::qWait(20);
        QVERIFY(EditorWindow::messages().size() == 1 || stillWriting.hasExpired());
        QTRY_COMPARE_WITH_TIMEOUT(EditorWindow::messages().size(), 2, 10000);
        w.answerMessage(u"by another program"_s, QMessageBox::Cancel);
        w.clickCommand(u"Save INI"_s);
        QCOMPARE(EditorWindow::messages().size(), 3);
    }

    // The folders live in the user's own store, where other programs (earlier versions of the editor among them)
    // leave them: the editor reads them from there.
    void foldersWhereOtherProgramsLook()
    {
#ifdef Q_OS_WIN
        if (!qEnvironmentVariableIsSet("QTA_TEST_DISPOSABLE_SETTINGS"))
            QSKIP("changes this user's own remembered folders in the registry; make test-windows runs it in a Wine "
                  "prefix of its own");
#endif
        EditorWindow w(QByteArray {});
        FolderSettings::setStoreFolderForTesting(QString());
        const QStringList keys = { FolderSettings::iniKey(), FolderSettings::bitmapsKey(), FolderSettings::exesKey() };
        const QStringList folders = { native(w.otherFolder(u"QTA Files/Fr\u00E9d\u00E9ric"_s)),
                                      native(w.otherFolder(u"My Bitmaps"_s)), native(w.otherFolder(u"Add-ons"_s)) };
        writeBytes(folders[0] + u"/QTA.INI"_s, kHostIni);
        const auto clear = qScopeGuard([] { usersStore::clear(); });
        // Written by another program: read at start-up, no folder browser.
        usersStore::clear();
        QVERIFY(usersStore::write(keys, folders));
        FolderBrowser::setNextAnswerForTesting([](FolderBrowser &) { return QString(); });
        QVERIFY(w.start());
        QCOMPARE(QStringList({ w.window->folders().ini, w.window->folders().bitmaps, w.window->folders().addOns }),
                 folders);
        QCOMPARE(w.preview()->buttonCount(), 3);
    }

    // A backup that cannot be kept is asked about before the save writes, until the user agrees to save without.
    void backupFailureAsks()
    {
        EditorWindow w;
        QVERIFY(QDir().mkpath(w.iniPath() + u".bak"_s)); // a folder in the backup's place
        QVERIFY(w.start());
        w.chooseFromButtonMenu(0, u"T1"_s);
        w.answerMessage(u"it is a folder"_s, QMessageBox::No);
        w.clickCommand(u"Save INI"_s);
        QCOMPARE(w.fileBytes(), kHostIni);
        w.answerMessage(u"it is a folder"_s, QMessageBox::Yes);
        w.clickCommand(u"Save INI"_s);
        w.clickCommand(u"Save INI"_s);
        QCOMPARE(EditorWindow::messages().size(), 2);
        QCOMPARE(w.fileBytes(), QByteArray(kHostIni).replace("New=NEW|1\r\n", ""));
    }

    void fitsTheScreen_data()
    {
        QTest::addColumn<double>("textScale");
        QTest::newRow("100 percent") << 1.0;
        QTest::newRow("150 percent") << 1.5;
        QTest::newRow("200 percent") << 2.0;
    }

    // Larger text: the window fits the screen, centred, no control covers another; a long preview scrolls, whole.
    void fitsTheScreen()
    {
        QFETCH(double, textScale);
        const QFont before = QApplication::font();
        const auto restore = qScopeGuard([before] { QApplication::setFont(before); });
        QFont larger = before;
        larger.setPointSizeF(before.pointSizeF() * textScale);
        QApplication::setFont(larger);
        QByteArray ini = "[Toolbits]\r\n";
        for (int i = 0; i < 80; ++i)
            ini += "Button " + QByteArray::number(i) + "=NEW|1\r\n";
        EditorWindow w(ini);
        QVERIFY(w.start());
        const QRect room = w.window->screen()->availableGeometry();
        const QRect frame = w.window->frameGeometry();
        QVERIFY2(room.contains(frame), qPrintable(u"%1x%2"_s.arg(frame.width()).arg(frame.height())));
        QVERIFY(qAbs(frame.center().x() - room.center().x()) <= 2);
        QVERIFY(qAbs(frame.center().y() - room.center().y()) <= 20);
        // The last control can still be reached: the About link.
        QWidget *about = w.control(u"Label5"_s);
        w.window->findChild<QScrollArea *>()->ensureWidgetVisible(about);
        QVERIFY(w.window->rect().contains(QRect(about->mapTo(w.window.get(), QPoint(0, 0)), about->size())));
        // Each page as its tab shows it.
        for (int tab : { 2, 1 }) {
            w.clickTab(tab);
            const QWidgetList shown
                = w.control(u"picTab(%1)"_s.arg(tab - 1))->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
            for (QWidget *a : shown)
                for (QWidget *b : shown)
                    QVERIFY(a == b || a->isHidden() || b->isHidden() || !a->geometry().intersects(b->geometry()));
        }

        Toolbar *preview = w.preview();
        for (int i = 0; i < preview->buttonCount(); ++i)
            QVERIFY(preview->buttonWidget(i)->width() >= preview->buttonWidget(i)->sizeHint().width());
        preview->focusButton(0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        QWidget *last = preview->buttonWidget(79), *host = w.control(u"vbalTBarHost1"_s);
        const QRect shown(last->mapTo(host, QPoint(0, 0)), last->size());
        QVERIFY(host->rect().contains(shown) && !shown.intersects(w.control(u"lblPreviewHint"_s)->geometry()));
    }

private:
    QTemporaryDir m_config; // the user's store where it is a file
};

QTEST_MAIN(tst_FrmEditor)
#include "tst_frmeditor.moc"
