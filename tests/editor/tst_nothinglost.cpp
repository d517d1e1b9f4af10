#include "editorwindow.h"

#include "addonseditorpage.h"
#include "filesafety.h"
#include "toolbareditorpage.h"

#include <QLineEdit>
#include <QUndoStack>

using namespace Qt::StringLiterals;

namespace {

// Other sections, a comment and CRLF line ends, which every save keeps.
const QByteArray kIni = "; QTA settings\r\n[General]\r\nVersion=3.2\r\n"
                        "[Addons]\r\nSheet Printer=C:\\SP.EXE %charfile%\r\nNotes=C:\\NOTEPAD.EXE\r\n"
                        "[Toolbits]\r\nNew=NEW|1\r\nspace2=|\r\nPrint sheet=RUNADDON(Sheet Printer)|4\r\n";

// Another installation's file: its own toolbar and add-ons, and a section of its own.
const QByteArray kOtherIni = "[Addons]\r\nCalc=C:\\CALC.EXE\r\n[Toolbits]\r\nOpen=LOAD|2\r\n[Window]\r\nMax=1\r\n";

// The "Toolbits" lines of a saved file.
QByteArray toolbits(const QByteArray &file)
{
    const qsizetype at = file.indexOf("[Toolbits]\r\n");
    return at < 0 ? QByteArray() : file.mid(at + 12);
}

} // namespace

class tst_NothingLost : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QCOMPARE(MessageBox::pendingAnswersForTesting(), 0); }

    void savingAfterChangingTheIniFolder_data();
    void savingAfterChangingTheIniFolder();
    void newButtonsGetNamesOfTheirOwn();
    void collidingKeysAreMarkedAndAskedAbout_data();
    void collidingKeysAreMarkedAndAskedAbout();
    void openEditsAreStoredBeforeSaving_data();
    void openEditsAreStoredBeforeSaving();
    void undoActsOnTheOpenEdit_data();
    void undoActsOnTheOpenEdit();
    void closingWithUnsavedChanges_data();
    void closingWithUnsavedChanges();
    void reloadWithUnsavedChangesAsks();
    void missingFileIsNamedOnce_data();
    void missingFileIsNamedOnce();
    void addOnRowIsCurrentAfterEveryLoad();
    void refusedSaveMakesNoBackup();
};

// The lists on screen go to the new folder's file, as the command promises; that file is asked about and
// backed up, and the old folder's file is left alone.
void tst_NothingLost::savingAfterChangingTheIniFolder_data()
{
    QTest::addColumn<bool>("byTabSwitch");
    QTest::addColumn<bool>("agree");
    QTest::addRow("Save INI") << false << true;
    QTest::addRow("Save INI, cancelled") << false << false;
    QTest::addRow("tab switch") << true << true;
}

void tst_NothingLost::savingAfterChangingTheIniFolder()
{
    QFETCH(bool, byTabSwitch);
    QFETCH(bool, agree);
    EditorWindow w(kIni);
    QVERIFY(w.start());
    const QString other = w.otherFolder(u"other"_s);
    writeBytes(other + u"/QTA.INI"_s, kOtherIni);

    cBrowseForFolder::setNextAnswerForTesting([other](cBrowseForFolder &browser) {
        return browser.simulateSelection(other) ? other : QString();
    });
    w.clickCommand(u"Set QTA.INI Path"_s);
    QVERIFY(w.window->windowTitle().contains(QDir::toNativeSeparators(other + u"/QTA.INI"_s)));

    w.answerMessage(QDir::toNativeSeparators(w.iniPath()), agree ? QMessageBox::Save : QMessageBox::Cancel);
    if (byTabSwitch)
        w.clickTab(2);
    else
        w.clickCommand(u"Save INI"_s);
    // The question names the file to be replaced and where the lists shown were read.
    QCOMPARE(EditorWindow::messages().size(), 1);
    QVERIFY(EditorWindow::messages().first().contains(QDir::toNativeSeparators(other + u"/QTA.INI"_s)));

    const QByteArray written = readBytes(other + u"/QTA.INI"_s);
    QCOMPARE(w.fileBytes(), kIni);
    QVERIFY(!QFile::exists(w.iniPath() + u".bak"_s));
    if (!agree) {
        QCOMPARE(written, kOtherIni);
        QVERIFY(!QFile::exists(other + u"/QTA.INI.bak"_s));
        return;
    }
    QCOMPARE(readBytes(other + u"/QTA.INI.bak"_s), kOtherIni);
    QVERIFY(written.startsWith("[Window]\r\nMax=1\r\n[Addons]\r\nSheet Printer="));
    QCOMPARE(toolbits(written), toolbits(kIni));

    // The file is the editor's now: the next save neither asks nor backs up again.
    w.clickCommand(u"Save INI"_s);
    QCOMPARE(EditorWindow::messages().size(), 1);
}

void tst_NothingLost::newButtonsGetNamesOfTheirOwn()
{
    EditorWindow w(kIni);
    QVERIFY(w.start());
    w.chooseFromButtonMenu(0, u"T0"_s);
    EditorWindow::pick(w.control<QComboBox>(u"cmbboxCommandNoAddOns"_s), u"PRINT"_s);
    QTest::mouseClick(w.control(u"cmdDone"_s), Qt::LeftButton);
    w.chooseFromButtonMenu(0, u"T0"_s);
    QCOMPARE(w.control<QLineEdit>(u"txtTooltip"_s)->text(), u"New Button 2"_s);
    QTest::mouseClick(w.control(u"cmdDone"_s), Qt::LeftButton);

    w.clickCommand(u"Save INI"_s);
    QVERIFY(EditorWindow::messages().isEmpty());
    QCOMPARE(toolbits(w.fileBytes()), "New Button 2=(none)|0\r\nNew Button=PRINT|0\r\n" + toolbits(kIni));
}

// Two entries that are one key of the file: the window marks them, and a save says which one the file keeps
// before it writes anything. Separators take a free name instead: theirs means nothing to QTA. Names that
// differ only in a letter the file does not fold are two keys.
void tst_NothingLost::collidingKeysAreMarkedAndAskedAbout_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QList<int>>("marked"); // buttons from 0, then add-on rows from the button count + 1
    QTest::addColumn<QString>("said"); // what the question says survives
    QTest::addColumn<QByteArray>("saved"); // empty: no question
    // As QTA reads such a file, both entries have the first line's value.
    QTest::addRow("buttons") << QByteArray("[Toolbits]\r\nCopy=COPY|1\r\nPaste=PASTE|2\r\ncopy =SAVE|3\r\n")
                             << QList<int>{0, 2} << u"Toolbar buttons 1 and 3 (\"Copy\")"_s
                             << QByteArray("[Toolbits]\r\nCopy=COPY|1\r\nPaste=PASTE|2\r\n");
    QTest::addRow("add-ons") << QByteArray("[Addons]\r\nA=a.exe\r\nB=b.exe\r\na=c.exe\r\n[Toolbits]\r\nNew=NEW|1\r\n")
                             << QList<int>{2, 4} << u"with the command line of row 3"_s
                             << QByteArray("[Addons]\r\nA=a.exe\r\nB=b.exe\r\n[Toolbits]\r\nNew=NEW|1\r\n");
    QTest::addRow("separators") << QByteArray("[Toolbits]\r\nNew=NEW|1\r\nspace2=|\r\nOpen=LOAD|2\r\nSPACE2=|\r\n"
                                              "space4=EXIT|7\r\n")
                                << QList<int>{} << QString() << QByteArray();
    // Each nameless line keeps its own place in the file.
    QTest::addRow("nameless lines") << QByteArray("[Addons]\r\nA=a.exe\r\n=b.exe\r\nC=c.exe\r\n=d.exe\r\n"
                                                  "[Toolbits]\r\nNew=NEW|1\r\n=SAVE|3\r\nOpen=LOAD|2\r\n=PRINT|4\r\n")
                                    << QList<int>{} << QString() << QByteArray();
    QTest::addRow("letters beyond ASCII")
        << QByteArray("[Toolbits]\r\n\xdc" "ber=HELPABOUT|1\r\n\xfc" "ber=HELP|2\r\n") << QList<int>{} << QString()
        << QByteArray();
}

void tst_NothingLost::collidingKeysAreMarkedAndAskedAbout()
{
    QFETCH(QByteArray, ini);
    QFETCH(QList<int>, marked);
    QFETCH(QString, said);
    QFETCH(QByteArray, saved);
    EditorWindow w(ini);
    QVERIFY(w.start());
    const int buttons = w.preview()->buttonCount();
    for (int i = 0; i < buttons; ++i)
        QCOMPARE(w.preview()->buttonMark(i).contains(u"same name"_s), marked.contains(i));
    for (int row = 1; row <= w.grid()->RowCount(); ++row)
        QCOMPARE(w.window->addOnsPage()->nameWarning(row).contains(u"same name"_s), marked.contains(buttons + row));

    const bool asks = !saved.isEmpty();
    if (asks)
        w.answerMessage(u"one line"_s, QMessageBox::Cancel);
    w.clickCommand(u"Save INI"_s);
    QCOMPARE(EditorWindow::messages().size(), asks ? 1 : 0);
    if (!asks) {
        // Separators renamed where they met another key; nothing else changed.
        QCOMPARE(w.fileBytes(), QByteArray(ini).replace("SPACE2=|", "space5=|"));
        return;
    }
    QCOMPARE(w.fileBytes(), ini);
    QVERIFY2(EditorWindow::messages().first().contains(said), qPrintable(EditorWindow::messages().first()));
    w.answerMessage(u"one line"_s, QMessageBox::Save);
    w.clickCommand(u"Save INI"_s);
    QCOMPARE(w.fileBytes(), saved);
}

// What the user typed into an editor still open is stored as Enter or Done would store it.
void tst_NothingLost::openEditsAreStoredBeforeSaving_data()
{
    QTest::addColumn<bool>("panel");
    QTest::addColumn<bool>("byTabSwitch");
    QTest::addColumn<QByteArray>("line");
    QTest::addRow("add-on name, Save INI") << false << false << QByteArray("\r\nExporter=C:\\NOTEPAD.EXE\r\n");
    QTest::addRow("add-on name, tab switch") << false << true << QByteArray("\r\nExporter=C:\\NOTEPAD.EXE\r\n");
    QTest::addRow("button tooltip, Save INI") << true << false << QByteArray("\r\nExporter=NEW|1\r\n");
    QTest::addRow("button tooltip, tab switch") << true << true << QByteArray("\r\nExporter=NEW|1\r\n");
}

void tst_NothingLost::openEditsAreStoredBeforeSaving()
{
    QFETCH(bool, panel);
    QFETCH(bool, byTabSwitch);
    QFETCH(QByteArray, line);
    EditorWindow w(kIni);
    QVERIFY(w.start());
    if (panel) {
        w.chooseFromButtonMenu(0, u"T4"_s);
    } else {
        w.clickTab(2);
        w.startCellEdit(2, 1);
    }
    QWidget *box = QApplication::focusWidget();
    QVERIFY(qobject_cast<QLineEdit *>(box));
    EditorWindow::typeOver(box, u"Exporter"_s);
    if (byTabSwitch)
        w.clickTab(panel ? 2 : 1);
    else
        w.clickCommand(u"Save INI"_s);
    QVERIFY(w.fileBytes().contains(line));
    QVERIFY(!w.control(u"Frame1"_s)->isVisible() && !w.grid()->isEditing());
}

// Undo while an edit is open undoes the typing, or else closes the edit; the history behind it stays.
void tst_NothingLost::undoActsOnTheOpenEdit_data()
{
    QTest::addColumn<bool>("button");
    QTest::addRow("Ctrl+Z in the command list") << false;
    QTest::addRow("Undo button") << true;
}

void tst_NothingLost::undoActsOnTheOpenEdit()
{
    QFETCH(bool, button);
    EditorWindow w(kIni);
    QVERIFY(w.start());
    w.chooseFromButtonMenu(2, u"T1"_s); // deleted: the change to undo later
    QCOMPARE(w.window->configuration()->toolbar()->count(), 2);
    w.chooseFromButtonMenu(0, u"T4"_s);
    auto *commands = w.control<QComboBox>(u"cmbboxCommandNoAddOns"_s);
    EditorWindow::pick(commands, u"PRINT"_s);
    commands->setFocus();
    if (button)
        w.clickCommand(u"Undo"_s);
    else
        QTest::keyClick(commands, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.window->configuration()->toolbar()->count(), 2);
    QVERIFY(!w.control(u"Frame1"_s)->isVisible());
    QCOMPARE(w.window->configuration()->toolbar()->at(0).Command, u"NEW"_s);
    // With the edit closed, undo reaches the history again.
    w.clickCommand(u"Undo"_s);
    QCOMPARE(w.window->configuration()->toolbar()->count(), 3);
}

void tst_NothingLost::closingWithUnsavedChanges_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("byCloseBox");
    QTest::addRow("nothing changed") << false << int(QMessageBox::NoButton) << false;
    QTest::addRow("changed, Save") << true << int(QMessageBox::Save) << false;
    QTest::addRow("changed, Discard") << true << int(QMessageBox::Discard) << true;
    QTest::addRow("changed, Cancel") << true << int(QMessageBox::Cancel) << false;
    QTest::addRow("changed back by undo") << true << int(QMessageBox::NoButton) << true;
}

void tst_NothingLost::closingWithUnsavedChanges()
{
    QFETCH(bool, change);
    QFETCH(int, answer);
    QFETCH(bool, byCloseBox);
    EditorWindow w(kIni);
    QVERIFY(w.start());
    if (change)
        w.chooseFromButtonMenu(0, u"T1"_s);
    const bool undone = change && answer == QMessageBox::NoButton;
    if (undone)
        w.clickCommand(u"Undo"_s);
    if (answer != QMessageBox::NoButton)
        w.answerMessage(u"not been saved"_s, QMessageBox::StandardButton(answer));
    if (byCloseBox)
        w.window->close();
    else
        w.clickCommand(u"Exit"_s);

    QCOMPARE(w.window->isVisible(), answer == QMessageBox::Cancel);
    QCOMPARE(EditorWindow::messages().size(), answer == QMessageBox::NoButton ? 0 : 1);
    if (answer == QMessageBox::Save)
        QVERIFY(toolbits(w.fileBytes()).startsWith("space2=|\r\n"));
    else
        QCOMPARE(w.fileBytes(), kIni);
}

void tst_NothingLost::reloadWithUnsavedChangesAsks()
{
    EditorWindow w(kIni);
    QVERIFY(w.start());
    w.chooseFromButtonMenu(0, u"T1"_s);
    w.answerMessage(u"not been saved"_s, QMessageBox::Cancel);
    w.clickCommand(u"Reload INI"_s);
    QCOMPARE(w.window->configuration()->toolbar()->count(), 2);
    w.answerMessage(u"not been saved"_s, QMessageBox::Discard);
    w.clickCommand(u"Reload INI"_s);
    QCOMPARE(w.window->configuration()->toolbar()->count(), 3);
    QCOMPARE(EditorWindow::messages().size(), 2);
    // Nothing changed since: no question.
    w.clickCommand(u"Reload INI"_s);
    QCOMPARE(EditorWindow::messages().size(), 2);
}

// A missing file (or folder) is said once when the window starts and on Reload INI, not on every tab switch.
void tst_NothingLost::missingFileIsNamedOnce_data()
{
    QTest::addColumn<bool>("folderToo");
    QTest::addRow("file") << false;
    QTest::addRow("folder") << true;
}

void tst_NothingLost::missingFileIsNamedOnce()
{
    QFETCH(bool, folderToo);
    EditorWindow w{QByteArray()};
    if (folderToo)
        QDir(w.folder()).removeRecursively();
    MessageBox::setNextAnswerForTesting(QMessageBox::Ok);
    QVERIFY(w.start());
    QCOMPARE(EditorWindow::messages().size(), 1);
    const QString said = EditorWindow::messages().first();
    QVERIFY(said.contains(QDir::toNativeSeparators(folderToo ? w.folder() : w.iniPath())));
    QVERIFY(said.contains(u"default toolbar"_s));
    QCOMPARE(w.window->configuration()->toolbar()->count(), 9);

    MessageBox::setNextAnswerForTesting(QMessageBox::Ok);
    w.clickCommand(u"Reload INI"_s);
    QCOMPARE(EditorWindow::messages().size(), 2);
    if (folderToo)
        return;
    // The tab switch saves, which creates the file: nothing more to say.
    w.clickTab(2);
    w.clickTab(1);
    QCOMPARE(EditorWindow::messages().size(), 2);
    QVERIFY(QFile::exists(w.iniPath()));
}

void tst_NothingLost::addOnRowIsCurrentAfterEveryLoad()
{
    EditorWindow w(kIni);
    QVERIFY(w.start());
    w.clickTab(2);
    QCOMPARE(w.grid()->CurrentRow(), 1);
    QVERIFY(w.control(u"cmdKillAddOn"_s)->isEnabled());
    w.clickCommand(u"Reload INI"_s);
    QCOMPARE(w.grid()->CurrentRow(), 1);
    QVERIFY(w.control(u"cmdKillAddOn"_s)->isEnabled());
}

// A save that cannot write the file leaves no backup beside it.
void tst_NothingLost::refusedSaveMakesNoBackup()
{
    EditorWindow w(kIni);
    QVERIFY(w.start());
    QVERIFY(QFile::setPermissions(w.iniPath(), QFile::ReadOwner | QFile::ReadUser));
    w.chooseFromButtonMenu(0, u"T1"_s);
    MessageBox::setNextAnswerForTesting(QMessageBox::Ok);
    w.clickCommand(u"Save INI"_s);
    QCOMPARE(EditorWindow::messages().size(), 1);
    QVERIFY(EditorWindow::messages().first().contains(u"read-only"_s));
    QVERIFY(!QFile::exists(w.iniPath() + u".bak"_s));
    QCOMPARE(w.fileBytes(), kIni);
    QVERIFY(QFile::setPermissions(w.iniPath(), QFile::ReadOwner | QFile::WriteOwner));
}

QTEST_MAIN(tst_NothingLost)
#include "tst_nothinglost.moc"
