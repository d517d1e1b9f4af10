#include "testfiles.h"
#include "addonseditorpage.h"
#include "filedialog.h"
#include "foldersettings.h"
#include "frmeditor.h"
#include "grid.h"
#include "messagebox.h"
#include "pathfunctions.h"
#include "popupmenu.h"
#include "tabcontrol.h"
#include "toolbar.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kHead = "; QTA settings\r\n[General]\r\nVersion=3.2\r\n\r\n[Printing]\r\nCopies=1\r\n";
const QByteArray kA = "Sheet Printer=C:\\SP.EXE %charfile%\r\n";
const QByteArray kB = "Batch Export=C:\\BATCH.EXE -q %filelistquoted%\r\n";
const QByteArray kC = "Notes=C:\\NOTEPAD.EXE\r\n";
// A button refers to add-on 1 by position: no edit of the list may change its text.
const QByteArray kToolbits = "[Toolbits]\r\nNew=NEW|1\r\nExport all=RUNADDONNUM(1)|4\r\n";

// Runs act every few milliseconds while a menu or dialog runs its own loop, until act reports it has answered;
// after five seconds the popup or dialog is closed, so a failing test cannot hang.
class Answerer final
{
    Q_DISABLE_COPY_MOVE(Answerer)

public:
    explicit Answerer(std::function<bool()> act)
    {
        m_waited.start();
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this, act = std::move(act)] {
            if (act()) {
                m_timer.stop();
            } else if (m_waited.elapsed() > 5000) {
                m_timer.stop();
                if (QWidget *open = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                                      : QApplication::activeModalWidget())
                    open->close();
            }
        });
        m_timer.start(20);
    }

private:
    QTimer m_timer;
    QElapsedTimer m_waited;
};

QByteArray iniWith(const QByteArray &addOns)
{
    return kHead + (addOns.isEmpty() ? QByteArray() : "[Addons]\r\n" + addOns) + kToolbits;
}

} // namespace

class tst_AddOnsEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void page_data();
    void page();
    void editorsSitOnTheCell_data();
    void editorsSitOnTheCell();
    void tooltipsAndMarks();
    void realMenu();
    void realFileDialog();
    void linesAsQtaReadsThem_data();
    void linesAsQtaReadsThem();

private:
    QPoint centre(int row, int column) const
    {
        return m_grid->viewport()->mapFrom(m_grid->parentWidget(), m_grid->CellRectangle(row, column).center());
    }
    QWidget *child(const QString &name) const { return m_editor->findChild<QWidget *>(name); }
    void click(int row, int column, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(m_grid->viewport(), button, {}, centre(row, column));
    }
    void run(const QString &step);
    void startEditor();

    QTemporaryDir m_dir;
    QString m_iniPath;
    QString m_exeFolder;
    std::unique_ptr<frmEditor> m_editor;
    AddOnsEditorPage *m_page = nullptr;
    Grid *m_grid = nullptr;
    QStringList m_menus; // the enabled states of each menu shown: "+-" is Up on, Down off
    QStringList m_dialogSettings; // what each program browse asked the file dialog for
    QList<bool> m_drawingDuringMoves;
};

void tst_AddOnsEditor::init()
{
    QVERIFY(m_dir.isValid());
    const QString root = m_dir.path() + u'/' + QString::fromLatin1(QTest::currentTestFunction()) + u'/'
        + QString::fromLatin1(QTest::currentDataTag()).replace(u'/', u'-').replace(u':', u'-'); // ":" names a stream on Windows
    QVERIFY(QDir().mkpath(root + u"/settings"_s));
    QVERIFY(QDir().mkpath(root + u"/qta"_s));
    m_exeFolder = root + u"/Add-On Programs Folder"_s;
    QVERIFY(QDir().mkpath(m_exeFolder));
    writeBytes(m_exeFolder + u"/tool.exe"_s, "MZ");
    FolderSettings::setStoreFolderForTesting(root + u"/settings"_s);
    FolderSettings::write(FolderSettings::iniKey(), root + u"/qta"_s);
    FolderSettings::write(FolderSettings::exesKey(), m_exeFolder);
    m_iniPath = root + u"/qta/QTA.INI"_s;
    writeBytes(m_iniPath, iniWith(kA + kB + kC));
    MessageBox::clearShownForTesting();
    m_menus.clear();
    m_dialogSettings.clear();
    m_drawingDuringMoves.clear();

    startEditor();
    // The tab switch saved: a list as loaded writes the same bytes.
    QCOMPARE(readBytes(m_iniPath), iniWith(kA + kB + kC));
}

// Starts the window on the QTA.INI in place and goes to the add-ons tab, as the user does.
void tst_AddOnsEditor::startEditor()
{
    m_editor = std::make_unique<frmEditor>();
    QVERIFY(m_editor->start());
    m_editor->show();
    QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
    m_page = m_editor->addOnsPage();
    m_grid = m_editor->addOnsGrid();
    connect(m_grid->addOnModel(), &QAbstractItemModel::rowsMoved, this,
            [this] { m_drawingDuringMoves << m_grid->DrawingEnabled(); });
    auto *bar = m_editor->findChild<TabControl *>(u"vbTabControl1"_s)->findChild<QTabBar *>();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QVERIFY(m_grid->isVisible());
}

void tst_AddOnsEditor::cleanup()
{
    m_editor.reset();
    PopupMenu::clearAnswersForTesting();
    FileDialog::clearAnswersForTesting();
    MessageBox::clearAnswersForTesting();
    FolderSettings::setStoreFolderForTesting(QString());
    const QWidgetList windows = QApplication::topLevelWidgets();
    QVERIFY(std::none_of(windows.cbegin(), windows.cend(), [](QWidget *w) { return w->isVisible(); }));
}

// One user action of a page script; see page_data() for the verbs.
void tst_AddOnsEditor::run(const QString &step)
{
    const qsizetype space = step.indexOf(u' ');
    const QString verb = step.left(space);
    const QString arg = space < 0 ? QString() : step.mid(space + 1);
    const QStringList numbers = arg.split(u' ');
    const int a = numbers.value(0).toInt(), b = numbers.value(1).toInt();
    auto *combo = static_cast<QComboBox *>(child(u"cmbboxAddOnParameters"_s));

    if (verb == "edit"_L1) { // select the cell, then click it again
        if (m_grid->CurrentRow() != a || m_grid->CurrentColumn() != b)
            click(a, b);
        click(a, b);
    } else if (verb == "f2"_L1) {
        m_grid->setFocus();
        m_grid->setCurrentRow(a);
        m_grid->setCurrentColumn(b);
        QTest::keyClick(m_grid, Qt::Key_F2);
    } else if (verb == "click"_L1 || verb == "right"_L1) {
        click(a, b, verb == "right"_L1 ? Qt::RightButton : Qt::LeftButton);
    } else if (verb == "below"_L1) { // right click on the empty area under the last row
        const QRect last = m_grid->CellRectangle(m_grid->RowCount(), 1);
        QTest::mouseClick(m_grid->viewport(), Qt::RightButton, {},
                          centre(m_grid->RowCount(), 1) + QPoint(0, 2 * last.height()));
    } else if ((verb == "type"_L1 || verb == "key"_L1) && !QApplication::focusWidget()) {
        QFAIL("no widget has the keyboard");
    } else if (verb == "type"_L1) {
        // keyClicks takes ASCII only; other letters arrive as text, as an input method delivers them.
        for (const QChar c : arg) {
            if (c.unicode() < 128)
                QTest::keyClick(QApplication::focusWidget(), char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c), {});
        }
    } else if (verb == "key"_L1) {
        const bool back = arg == "Backtab"_L1;
        QTest::keyClick(QApplication::focusWidget(),
                        back ? Qt::Key_Tab : Qt::Key(QKeySequence::fromString(arg)[0].key()),
                        back ? Qt::ShiftModifier : Qt::NoModifier);
    } else if (verb == "answer"_L1) {
        PopupMenu::setNextAnswerForTesting([this, a](const PopupMenu &menu) {
            const bool captions = menu.caption(1) == "Move Add-On &Up"_L1 && menu.caption(2) == "Move Add-On &Down"_L1
                && menu.itemCount() == 2;
            m_menus << (captions ? QString() : u"?"_s) + (menu.isEnabled(1) ? u'+' : u'-')
                    + (menu.isEnabled(2) ? u'+' : u'-');
            return a;
        });
    } else if (verb == "menukey"_L1) {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), m_grid->mapToGlobal(QPoint()));
        QApplication::sendEvent(m_grid, &event);
    } else if (verb == "pick"_L1) { // open the list and choose item a with the keyboard
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        for (int i = combo->currentIndex(); i != a; i += a > i ? 1 : -1)
            QTest::keyClick(combo->view(), a > i ? Qt::Key_Down : Qt::Key_Up);
        QTest::keyClick(combo->view(), Qt::Key_Return);
    } else if (verb == "popup"_L1) {
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
    } else if (verb == "unpopup"_L1) {
        combo->hidePopup();
    } else if (verb == "focus"_L1) {
        child(arg)->setFocus(Qt::MouseFocusReason);
    } else if (verb == "clickon"_L1) {
        QTest::mouseClick(child(arg), Qt::LeftButton);
    } else if (verb == "resize"_L1) {
        m_grid->horizontalHeader()->resizeSection(0, m_grid->columnWidth(0) + 10);
    } else if (verb == "toolbar"_L1) {
        QTest::mouseClick(m_editor->commandToolbar(2)->buttonWidget(a), Qt::LeftButton);
    } else if (verb == "new"_L1 || verb == "delete"_L1) {
        QTest::mouseClick(child(verb == "new"_L1 ? u"cmdAddAddOn"_s : u"cmdKillAddOn"_s), Qt::LeftButton);
    } else if (verb == "candelete"_L1) {
        QCOMPARE(child(u"cmdKillAddOn"_s)->isEnabled(), a == 1);
    } else if (verb == "current"_L1) {
        m_grid->setCurrentRow(a);
    } else if (verb == "keep"_L1) { // set-up: only the first a add-ons
        while (m_grid->RowCount() > a)
            m_grid->DeleteRow(m_grid->RowCount());
    } else if (verb == "browse"_L1 || verb == "browsekey"_L1) {
        const QString answer = arg == "tool"_L1 ? m_exeFolder + u"/../Add-On Programs Folder/tool.exe"_s
            : arg == "missing"_L1               ? m_exeFolder + u"/gone.exe"_s
                                                : QString();
        FileDialog::setNextAnswerForTesting([this, answer](FileDialog &dialog) {
            m_dialogSettings << u"%1|%2|%3|%4|%5|%6"_s.arg(dialog.fileName(), dialog.filter())
                                    .arg(dialog.filterIndex())
                                    .arg(dialog.defaultExtension())
                                    .arg(dialog.flags(), 0, 16)
                                    .arg(dialog.initialDir() == m_editor->EXEPATH && !dialog.previewWidget());
            return answer;
        });
        if (verb == "browse"_L1)
            QTest::mouseClick(child(u"cmdBrowseForExe"_s), Qt::LeftButton);
        else
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    } else {
        QFAIL(qPrintable(u"unknown step "_s + step));
    }
}

void tst_AddOnsEditor::page_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QByteArray>("addOns"); // the "Addons" lines a save then writes
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("marks"); // per row: '-' saves as it is, 'D' collapses with another, 'R' refused
    QTest::addColumn<QString>("focus"); // where the keyboard is afterwards ("" for anywhere)
    QTest::addColumn<QString>("menus");
    QTest::addColumn<QString>("open"); // the editor still open, if any
    auto row = [](const char *name, const char *steps, const QByteArray &addOns, int current, const char *marks,
                  const char *focus = "", const char *menus = "", const char *open = "") {
        QTest::newRow(name) << QString::fromUtf8(steps) << addOns << current << QString::fromUtf8(marks)
                            << QString::fromUtf8(focus) << QString::fromUtf8(menus) << QString::fromUtf8(open);
    };
    const QByteArray abc = kA + kB + kC;
    const QByteArray exporter = kA + "Exporter=C:\\BATCH.EXE -q %filelistquoted%\r\n" + kC;
    const QByteArray newPath = kA + "Batch Export=D:\\X.EXE %filelistquoted%\r\n" + kC;
    const QByteArray browsed = kA + "Batch Export=$EXE %filelistquoted%\r\n" + kC;
    const char *grid = "grdAddOnsList";

    // The name editor: Enter writes; Escape, focus leaving and the right button abandon.
    row("name/select, click again, type, Enter", "edit 2 1|type Exporter|key Return", exporter, 2, "---", grid);
    row("name/F2 and keypad Enter", "f2 2 1|type Exporter|key Enter", exporter, 2, "---", grid);
    row("name/Escape keeps the cell", "edit 2 1|type Zzz|key Escape", abc, 2, "---", grid);
    row("name/Tab away abandons", "edit 2 1|type Zzz|key Tab", abc, 2, "---");
    row("name/click on another cell abandons", "edit 2 1|type Zzz|click 3 1", abc, 3, "---", grid);
    row("name/right button abandons", "edit 2 1|type Zzz|answer 0|right 3 1", abc, 2, "---", "", "+-");
    row("name/right click below the rows: no menu, edit abandoned", "edit 2 1|type Zzz|answer 0|below", abc, 2, "---");

    // The command-line editor stays open when its text box loses the focus.
    row("command/Enter", "edit 2 2|type D:\\X.EXE|key Return", newPath, 2, "---", grid);
    row("command/Escape", "edit 2 2|type D:\\X.EXE|key Escape", abc, 2, "---", grid);
    row("command/Escape on the browse button", "edit 2 2|type D:\\X.EXE|key Tab|key Escape", abc, 2, "---", grid);
    row("command/Tab to the browse button keeps it open", "edit 2 2|type D:\\X.EXE|key Tab", newPath, 2, "---",
        "cmdBrowseForExe", "", "fraCommand");
    row("command/Enter after Tab and back still writes", "edit 2 2|type D:\\X.EXE|key Tab|key Backtab|key Return",
        newPath, 2, "---", grid);
    row("command/Enter after focus went elsewhere and came back",
        "edit 2 2|type D:\\X.EXE|focus cmdAddAddOn|clickon txtAddOnPath|key Return", newPath, 2, "---", grid);
    row("command/column resized abandons", "edit 2 2|type D:\\X.EXE|resize", abc, 2, "---");
    row("command/right button abandons", "edit 2 2|type D:\\X.EXE|answer 0|right 2 2", abc, 2, "---", "", "++");
    row("command/Save INI stores the typed text", "edit 2 2|type D:\\X.EXE|toolbar 1", newPath, 2, "---", grid);
    row("command/New Add-On abandons the edit", "edit 2 2|type D:\\X.EXE|new", abc + "New Add-On=\r\n", 4, "----");

    // The parameters list writes when an item is picked and closes without a change otherwise.
    row("parameters/pick an item", "edit 2 3|pick 1", kA + "Batch Export=C:\\BATCH.EXE -q %charfile%\r\n" + kC, 2,
        "---", grid);
    row("parameters/pick the shown item", "edit 3 3|pick 0", abc, 3, "---", grid);
    row("parameters/both macros", "edit 3 3|pick 3", kA + kB + "Notes=C:\\NOTEPAD.EXE %charfile% %filelistquoted%\r\n",
        3, "---", grid);
    row("parameters/arrow keys move, Enter picks", "f2 3 3|key Down|key Down|key Up|key Return",
        kA + kB + "Notes=C:\\NOTEPAD.EXE %charfile%\r\n", 3, "---", grid);
    row("parameters/arrow keys move, Escape abandons", "f2 3 3|key Down|key Escape", abc, 3, "---", grid);
    row("parameters/opening the list keeps it open", "edit 2 3|popup|unpopup", abc, 2, "---", "cmbboxAddOnParameters",
        "", "cmbboxAddOnParameters");
    row("parameters/list opened, then focus leaves", "edit 2 3|popup|unpopup|click 1 1", abc, 1, "---", grid);
    row("parameters/Escape abandons", "edit 2 3|key Escape", abc, 2, "---", grid);
    row("parameters/right button abandons", "edit 2 3|answer 0|right 1 3", abc, 2, "---", "", "-+");

    // The move menu acts on the row under the pointer; the ends of the list disable an item.
    row("move/first row down", "answer 2|right 1 1", kB + kA + kC, 2, "---", "", "-+");
    row("move/first row: Up cannot be picked", "answer 1|right 1 1", abc, 1, "---", "", "-+");
    row("move/down, then up again", "answer 2|right 1 1|answer 1|right 2 1", abc, 1, "---", "", "-+,++");
    row("move/second-to-last row down", "answer 2|right 2 2", kA + kC + kB, 1, "---", "", "++");
    row("move/last row up", "answer 1|right 3 3", kA + kC + kB, 1, "---", "", "+-");
    row("move/last row: Down cannot be picked", "answer 2|right 3 1", abc, 1, "---", "", "+-");
    row("move/only row: both off, the menu still opens", "keep 1|answer 1|right 1 1", kA, 1, "-", "", "--");
    row("move/dismissed", "answer 0|right 2 1", abc, 1, "---", "", "++");
    row("move/the current add-on stays current", "click 3 1|answer 2|right 2 1", kA + kC + kB, 2, "---", "", "++");
    row("move/menu key moves the current row", "click 3 1|answer 1|menukey", kA + kC + kB, 2, "---", "", "+-");
    row("move/menu key without a current row", "current 0|answer 1|menukey", abc, 0, "---");

    // New and delete, with the delete button on exactly while a row of the list is current.
    row("new/twice: two rows, one line", "new|new|candelete 1", abc + "New Add-On=\r\n", 5, "---DD");
    row("new/on an empty list", "keep 0|candelete 0|new|candelete 1", "New Add-On=\r\n", 1, "-");
    row("delete/middle row: the rest move up", "click 2 1|delete|candelete 1", kA + kC, 2, "--");
    row("delete/last row", "click 3 2|delete|candelete 1", kA + kB, 2, "--");
    row("delete/the only add-on", "keep 1|click 1 1|delete|candelete 0", QByteArray(), 0, "");
    row("delete/one by one", "click 1 1|delete|delete|delete|candelete 0|delete", QByteArray(), 0, "");
    row("delete/button follows the current row",
        "current 0|candelete 0|click 1 2|candelete 1|current 0|candelete 0|delete|click 3 1|candelete 1", abc, 3,
        "---");

    // The browse stores the chosen program and always ends the edit.
    row("browse/chosen", "edit 2 2|browse tool", browsed, 2, "---", grid);
    row("browse/chosen, a path was typed", "edit 2 2|type D:\\X.EXE|browse tool", browsed, 2, "---", grid);
    row("browse/cancelled", "edit 2 2|browse", abc, 2, "---", grid);
    row("browse/cancelled, a path was typed", "edit 2 2|type D:\\X.EXE|browse", abc, 2, "---", grid);
    row("browse/no short form: the full path", "edit 3 2|browse missing", kA + kB + "Notes=$MISSING\r\n", 3, "---",
        grid);
    row("browse/from the keyboard", "f2 2 2|key Tab|browsekey tool", browsed, 2, "---", grid);

    // Names that will not save as they stand are marked; nothing is refused while editing.
    row("marks/same name, other case, trailing blank", "edit 2 1|type NOTES |key Return",
        kA + "NOTES=C:\\NOTEPAD.EXE\r\n", 2, "-DD", grid);
    row("marks/letters beyond ASCII differ", "edit 2 1|type \u00dcber|key Return|edit 3 1|type \u00fcber|key Return",
        kA
            + "\xdc"
              "ber=C:\\BATCH.EXE -q %filelistquoted%\r\n\xfc"
              "ber=C:\\NOTEPAD.EXE\r\n",
        3, "---", grid);
    row("marks/empty name", "edit 2 1|key Backspace|key Return", kA + "=C:\\BATCH.EXE -q %filelistquoted%\r\n" + kC, 2,
        "---", grid);
    row("marks/blank name", "edit 2 1|type   |key Return", kA + "=C:\\BATCH.EXE -q %filelistquoted%\r\n" + kC, 2, "---",
        grid);
    row("marks/holds =", "edit 2 1|type a=b|key Return", abc, 2, "-R-", grid);
    row("marks/starts with [, holds ]", "edit 1 1|type [x]|key Return", abc, 1, "R--", grid);
    row("marks/starts with ;", "edit 3 1|type ;x|key Return", abc, 3, "--R", grid);
    row("marks/cleared when changed again", "edit 2 1|type Notes|key Return|edit 2 1|type Batch|key Return",
        kA + "Batch=C:\\BATCH.EXE -q %filelistquoted%\r\n" + kC, 2, "---", grid);
    row("marks/follow a move", "edit 3 1|type Sheet printer|key Return|answer 2|right 1 1",
        kB + "Sheet Printer=C:\\NOTEPAD.EXE\r\n", 3, "-DD", "", "-+");
}

void tst_AddOnsEditor::page()
{
    QFETCH(QString, steps);
    QFETCH(QByteArray, addOns);
    QFETCH(int, current);
    QFETCH(QString, marks);
    QFETCH(QString, focus);
    QFETCH(QString, menus);
    QFETCH(QString, open);

    for (const QString &step : steps.split(u'|', Qt::SkipEmptyParts)) {
        run(step);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(u"at step "_s + step));
    }

    for (const char *editor : { "txtAddOnName", "fraCommand", "cmbboxAddOnParameters" })
        QCOMPARE(!child(QString::fromLatin1(editor))->isHidden(), open == QLatin1String(editor));
    QCOMPARE(m_grid->isEditing(), !open.isEmpty());
    if (!focus.isEmpty())
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(m_grid->CurrentRow(), current);
    QCOMPARE(child(u"cmdKillAddOn"_s)->isEnabled(), current >= 1);
    QCOMPARE(m_menus.join(u','), menus);
    QVERIFY(std::none_of(m_drawingDuringMoves.cbegin(), m_drawingDuringMoves.cend(), [](bool on) { return on; }));
    QVERIFY(m_grid->DrawingEnabled());
    for (const QString &settings : std::as_const(m_dialogSettings))
        QCOMPARE(settings, u"|Windows Executables (*.exe)|*.exe|1|exe|281004|1"_s);

    QString shownMarks;
    for (int row = 1; row <= m_grid->RowCount(); ++row) {
        const QString warning = m_page->nameWarning(row);
        shownMarks += warning.isEmpty() ? u'-' : warning.contains(u"same name"_s) ? u'D' : u'R';
    }
    QCOMPARE(shownMarks, marks);

    // A refused save names the problem and leaves every byte of the file as it was; entries that collapse into
    // one line are asked about first.
    const bool refused = marks.contains(u'R');
    MessageBox::setNextAnswerForTesting(marks.contains(u'D') && !refused ? QMessageBox::Save : QMessageBox::Ok);
    QCOMPARE(m_editor->saveIni(), !refused);
    QCOMPARE(MessageBox::shownForTesting().size(), refused || marks.contains(u'D') ? 1 : 0);
    const QString exe = GetShortPath(m_exeFolder + u"/tool.exe"_s);
    const QString missing = QDir::toNativeSeparators(m_exeFolder + u"/gone.exe"_s);
    addOns.replace("$EXE", exe.toUtf8()).replace("$MISSING", missing.toUtf8());
    QCOMPARE(readBytes(m_iniPath), iniWith(addOns));
}

void tst_AddOnsEditor::editorsSitOnTheCell_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("focus");
    QTest::addRow("name") << 1 << "txtAddOnName"
                          << "txtAddOnName";
    QTest::addRow("command line") << 2 << "fraCommand"
                                  << "txtAddOnPath";
    QTest::addRow("parameters") << 3 << "cmbboxAddOnParameters"
                                << "cmbboxAddOnParameters";
}

void tst_AddOnsEditor::editorsSitOnTheCell()
{
    QFETCH(int, column);
    QFETCH(QString, editor);
    QFETCH(QString, focus);
    run(u"edit 2 %1"_s.arg(column));
    QWidget *shown = child(editor);
    const QRect cell = m_grid->CellRectangle(2, column);
    QVERIFY(shown->isVisible());
    QCOMPARE(shown->geometry().topLeft(), cell.topLeft());
    QCOMPARE(shown->width(), cell.width());
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);

    const QString text = m_grid->CellContent(2, column);
    if (auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget())) {
        QCOMPARE(edit->text(), text);
        QCOMPARE(edit->selectedText(), text); // typing replaces the whole value
        QCOMPARE(edit->toolTip(), text);
    } else {
        auto *combo = static_cast<QComboBox *>(shown);
        QCOMPARE(combo->currentText(), text);
        QCOMPARE(combo->count(), 4);
        QVERIFY(combo->view()->minimumWidth() >= combo->width());
    }
    if (column == 2) { // the text box and "..." share the cell, the button flush with its right edge
        QWidget *path = child(u"txtAddOnPath"_s);
        QWidget *browse = child(u"cmdBrowseForExe"_s);
        QCOMPARE(static_cast<QPushButton *>(browse)->text(), u"..."_s);
        QCOMPARE(browse->geometry().right(), shown->width() - 1);
        QVERIFY(path->geometry().right() < browse->geometry().left());
    }
    for (const char *name : { "txtAddOnName", "fraCommand", "txtAddOnPath", "cmdBrowseForExe", "cmbboxAddOnParameters",
                              "grdAddOnsList", "cmdAddAddOn", "cmdKillAddOn" })
        QVERIFY2(
            !QAccessible::queryAccessibleInterface(child(QString::fromLatin1(name)))->text(QAccessible::Name).isEmpty(),
            name);
}

void tst_AddOnsEditor::tooltipsAndMarks()
{
    const QString longLine = u"C:\\PROGRAM FILES\\"_s + QString(200, u'X') + u"\\TOOL.EXE -a -b"_s;
    m_grid->setCellContent(2, 2, longLine);
    QTest::mouseMove(m_grid->viewport(), centre(2, 2));
    QTRY_COMPARE(m_grid->toolTip(), longLine);
    QHelpEvent hover(QEvent::ToolTip, centre(2, 2), m_grid->viewport()->mapToGlobal(centre(2, 2)));
    QApplication::sendEvent(m_grid->viewport(), &hover);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), longLine);
    QToolTip::hideText();
    QTest::mouseMove(m_grid->viewport(), centre(3, 1) + QPoint(0, 2 * m_grid->CellRectangle(3, 1).height()));
    QTRY_COMPARE(m_grid->toolTip(), QString());

    // The sign is drawn on the name cell while a clash is on screen, and gone when it is resolved.
    const QRect cell(centre(3, 1) - QPoint(m_grid->columnWidth(0) / 2 - 1, 6), QSize(m_grid->columnWidth(0) - 2, 12));
    const QImage plain = m_grid->viewport()->grab(cell).toImage();
    m_grid->setCellContent(1, 1, u"notes"_s);
    QVERIFY(m_grid->viewport()->grab(cell).toImage() != plain);
    const QString warning = m_page->nameWarning(3);
    QVERIFY(warning.contains(u"Rows 1 and 3"_s) && warning.contains(u"command line of row 3"_s));
    QCOMPARE(m_page->nameWarning(1), warning);
    QTest::mouseMove(m_grid->viewport(), centre(3, 1));
    QTRY_VERIFY(m_grid->toolTip().contains(u"Notes\n"_s + warning));
    // The warning is a sentence: it wraps rather than running past the window's edge.
    QHelpEvent onName(QEvent::ToolTip, centre(3, 1), m_grid->viewport()->mapToGlobal(centre(3, 1)));
    QApplication::sendEvent(m_grid->viewport(), &onName);
    QTRY_VERIFY(QToolTip::isVisible());
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto tip = std::find_if(windows.cbegin(), windows.cend(),
                                  [](QWidget *w) { return w->inherits("QTipLabel") && w->isVisible(); });
    QVERIFY(tip != windows.cend());
    QVERIFY2((*tip)->width() <= m_editor->width(), qPrintable(QString::number((*tip)->width())));
    QToolTip::hideText();
    QVERIFY(m_grid->accessibleDescription().contains(u"Row 1: "_s + warning));
    m_grid->setCellContent(1, 1, u"Sheet Printer"_s);
    QTest::mouseMove(m_grid->viewport(), centre(3, 1) + QPoint(0, 2 * m_grid->CellRectangle(3, 1).height()));
    QCOMPARE(m_grid->viewport()->grab(cell).toImage(), plain);
    QCOMPARE(m_grid->accessibleDescription(), QString());
}

void tst_AddOnsEditor::realMenu()
{
    QStringList seen;
    const Answerer answerer([&seen] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return false;
        for (QAction *action : menu->actions())
            seen << action->text() + (action->isEnabled() ? u" on"_s : u" off"_s);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().constLast()).center());
        return true;
    });
    click(1, 1, Qt::RightButton);
    QCOMPARE(seen, QStringList({ u"Move Add-On &Up off"_s, u"Move Add-On &Down on"_s }));
    QCOMPARE(m_grid->CellContent(1, 1), u"Batch Export"_s);
    QCOMPARE(m_grid->CellContent(2, 1), u"Sheet Printer"_s);
}

void tst_AddOnsEditor::realFileDialog()
{
    run(u"edit 3 2"_s);
    QString directory;
    QStringList filters;
    QString suffix;
    auto answer = [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return false;
        directory = QFileInfo(dialog->directory().absolutePath()).canonicalFilePath();
        filters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        // A name typed without its extension gets ".exe".
        auto *name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
        name->setText(u"tool"_s);
        QTest::keyClick(name, Qt::Key_Return);
        return true;
    };
    const Answerer answerer(answer);
    QTest::mouseClick(child(u"cmdBrowseForExe"_s), Qt::LeftButton);
    QCOMPARE(directory, QFileInfo(m_exeFolder).canonicalFilePath());
    QCOMPARE(filters.size(), 1);
    // The pattern lists "TOOL.EXE" too: Windows names ignore letter case (Windows itself does so already).
#ifdef Q_OS_WIN
    const QString pattern = u"(*.exe)"_s;
#else
    const QString pattern = u"(*.[eE][xX][eE])"_s;
#endif
    QVERIFY(filters.constFirst().startsWith(u"Windows Executables (*.exe)"_s) && filters.constFirst().endsWith(pattern));
    QCOMPARE(suffix, u"exe"_s);
    QCOMPARE(m_grid->CellContent(3, 2), GetShortPath(m_exeFolder + u"/tool.exe"_s));
    QVERIFY(child(u"fraCommand"_s)->isHidden());
    // The window gets the keyboard back once it is active again; the grid is where it lands.
    QCOMPARE(m_editor->focusWidget(), m_grid);
}

void tst_AddOnsEditor::linesAsQtaReadsThem_data()
{
    QTest::addColumn<QByteArray>("lines"); // the "Addons" section the window starts on
    QTest::addColumn<QStringList>("rows"); // the grid then: name|command line|parameters
    QTest::addColumn<QString>("steps"); // the user's edit, as page() runs them
    QTest::addColumn<QByteArray>("saved"); // the "Addons" section after "Save INI"

    const QByteArray programAndFile = "\"C:\\Program Files\\v.exe\" \"C:\\data\\a b.txt\"";
    QTest::addRow("typed command line in quotes from end to end")
        << QByteArray("Viewer=C:\\V.EXE\r\n") << QStringList { u"Viewer|C:\\V.EXE|(none)"_s }
        << u"edit 1 2|type "_s + QString::fromLatin1(programAndFile) + u"|key Return"_s
        << "Viewer=\"" + programAndFile + "\"\r\n";
    QTest::addRow("value in an extra pair of quotes, then a parameter")
        << QByteArray("Viewer=\"\"C:\\a.exe\" \"b\"\"\r\n") << QStringList { u"Viewer|\"C:\\a.exe\" \"b\"|(none)"_s }
        << u"edit 1 3|pick 1"_s << QByteArray("Viewer=\"C:\\a.exe\" \"b\" %charfile%\r\n");
    QTest::addRow("macro between two arguments")
        << QByteArray("Tool=C:\\X.EXE -a%filelistquoted%-b\r\n")
        << QStringList { u"Tool|C:\\X.EXE -a -b|%filelistquoted%"_s } << QString()
        << QByteArray("Tool=C:\\X.EXE -a -b %filelistquoted%\r\n");
    // A nameless line is an add-on QTA counts: it keeps its place, and every add-on after it its number.
    QTest::addRow("nameless line between two")
        << QByteArray("A=C:\\A.EXE\r\n=C:\\B.EXE\r\nC=C:\\C.EXE\r\n")
        << QStringList { u"A|C:\\A.EXE|(none)"_s, u"|C:\\B.EXE|(none)"_s, u"C|C:\\C.EXE|(none)"_s } << QString()
        << QByteArray("A=C:\\A.EXE\r\n=C:\\B.EXE\r\nC=C:\\C.EXE\r\n");
    QTest::addRow("two nameless lines, an edit")
        << QByteArray("A=C:\\A.EXE\r\n=C:\\B.EXE\r\nC=C:\\C.EXE\r\n=C:\\D.EXE\r\n")
        << QStringList { u"A|C:\\A.EXE|(none)"_s, u"|C:\\B.EXE|(none)"_s, u"C|C:\\C.EXE|(none)"_s,
                         u"|C:\\D.EXE|(none)"_s }
        << u"edit 1 3|pick 1"_s << QByteArray("A=C:\\A.EXE %charfile%\r\n=C:\\B.EXE\r\nC=C:\\C.EXE\r\n=C:\\D.EXE\r\n");
    QTest::addRow("nameless first line") << QByteArray("=C:\\A.EXE\r\nB=C:\\B.EXE\r\n")
                                         << QStringList { u"|C:\\A.EXE|(none)"_s, u"B|C:\\B.EXE|(none)"_s } << QString()
                                         << QByteArray("=C:\\A.EXE\r\nB=C:\\B.EXE\r\n");
    // A line that starts with "[" is a section header only when it holds "]".
    QTest::addRow("name starting with [")
        << QByteArray("[Tool=C:\\T.EXE\r\n") << QStringList { u"[Tool|C:\\T.EXE|(none)"_s } << QString()
        << QByteArray("[Tool=C:\\T.EXE\r\n");
    QTest::addRow("name starting with [ typed")
        << kA << QStringList { u"Sheet Printer|C:\\SP.EXE|%charfile%"_s } << u"edit 1 1|type [Sheet|key Return"_s
        << QByteArray("[Sheet=C:\\SP.EXE %charfile%\r\n");
}

// The grid shows what QTA reads from each line; a save writes the grid so that QTA reads exactly that back.
void tst_AddOnsEditor::linesAsQtaReadsThem()
{
    QFETCH(QByteArray, lines);
    QFETCH(QStringList, rows);
    QFETCH(QString, steps);
    QFETCH(QByteArray, saved);
    auto grid = [this] {
        QStringList shown;
        for (int row = 1; row <= m_grid->RowCount(); ++row)
            shown.append(
                QStringList { m_grid->CellContent(row, 1), m_grid->CellContent(row, 2), m_grid->CellContent(row, 3) }
                    .join(u'|'));
        return shown;
    };

    m_editor.reset();
    writeBytes(m_iniPath, iniWith(lines));
    // A refused save would ask; the answers keep the test from waiting for a user.
    MessageBox::setNextAnswerForTesting(QMessageBox::Ok);
    MessageBox::setNextAnswerForTesting(QMessageBox::Ok);
    startEditor();
    QCOMPARE(grid(), rows);
    for (const QString &step : steps.split(u'|', Qt::SkipEmptyParts)) {
        run(step);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(u"at step "_s + step));
    }
    const QStringList edited = grid();
    run(u"toolbar 1"_s); // Save INI
    QStringList said;
    for (const MessageBoxRequest &box : MessageBox::shownForTesting())
        said.append(box.text);
    QCOMPARE(said, QStringList());
    QCOMPARE(readBytes(m_iniPath), iniWith(saved));
    run(u"toolbar 0"_s); // Reload INI
    QCOMPARE(grid(), edited);
}

QTEST_MAIN(tst_AddOnsEditor)
#include "tst_addonseditor.moc"
