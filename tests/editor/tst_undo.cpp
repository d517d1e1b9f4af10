#include "toolbar/editorfixture.h"

#include "grid.h"
#include "tabcontrol.h"

#include <QLineEdit>
#include <QTabBar>
#include <QUndoStack>

namespace {

// Two bitmap pictures: a reset keeps the first picture slot after the built-in ones and drops the next.
const QByteArray kToolbits = "New=NEW|1\r\nspace2=|\r\nPic A=SAVE|C:\\PICS\\A.BMP\r\nPic B=PRINT|C:\\PICS\\B.BMP\r\n"
                             "Exit QTA=EXIT|7\r\n";

QTabBar *tabBar(const EditorFixture &f)
{
    return f.editor->findChild<TabControl *>(u"vbTabControl1"_s)->findChild<QTabBar *>();
}

// Tabs count from 1, as the tab control does.
void openTab(const EditorFixture &f, int tab)
{
    QTest::mouseClick(tabBar(f), Qt::LeftButton, {}, tabBar(f)->tabRect(tab - 1).center());
}

Toolbar *commands(const EditorFixture &f)
{
    return f.editor->commandToolbar(f.editor->currentTab());
}

// The command toolbars end with Undo and Redo.
int undoButton(const EditorFixture &f, bool redo = false)
{
    return commands(f)->buttonCount() - (redo ? 1 : 2);
}

void clickCommand(const EditorFixture &f, int position)
{
    QTest::mouseClick(commands(f)->buttonWidget(position), Qt::LeftButton);
}

// Both lists as the models hold them (with each picture's key, so an index pointing elsewhere shows) and as
// the preview and the grid show them.
QString lists(const EditorFixture &f)
{
    QStringList out;
    const Toolbar *preview = f.editor->previewToolbar();
    for (int i = 0; i < f.model()->count(); ++i) {
        const ToolbarButtonEntry &e = f.model()->at(i);
        out << u"%1|%2|%3:%4|%5 shown %6|%7|%8"_s.arg(e.Tooltip, e.Command)
                   .arg(e.ImageIndex)
                   .arg(f.editor->configuration()->images()->keyAt(e.ImageIndex))
                   .arg(e.IsSeparator)
                   .arg(preview->buttonTooltip(i))
                   .arg(preview->buttonPicture(i))
                   .arg(preview->isSeparator(i));
    }
    out << QString::number(preview->buttonCount());
    const QAbstractItemModel *shown = f.editor->addOnsGrid()->model();
    for (const AddOnEntry &a : f.editor->configuration()->addOns()->entries())
        out << a.Name + u'|' + a.CommandLine + u'|' + a.Parameters;
    for (int row = 0; row < shown->rowCount(); ++row)
        out << shown->index(row, 0).data().toString() + u'|' + shown->index(row, 1).data().toString() + u'|'
                + shown->index(row, 2).data().toString();
    return out.join(u'\n');
}

QPoint cellCentre(const Grid *grid, int row, int column)
{
    return grid->viewport()->mapFrom(grid->parentWidget(), grid->CellRectangle(row, column).center());
}

void keyOn(QWidget *widget, const QString &keys)
{
    const QKeyCombination key = QKeySequence::fromString(keys)[0];
    QTest::keyClick(widget, key.key(), key.keyboardModifiers());
}

// A press, a move and a release on one widget, as a drag inside it.
void drag(QWidget *widget, QPoint from, QPoint to)
{
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    QTest::mouseMove(widget, to);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
}

// One user action. Preview: "menu P KEY", "edit P TEXT", "reset", "key P KEYS", "drag FROM TO". Grid:
// "cell ROW COLUMN [TEXT]" (no text: the editor is left open), "rows ROW ITEM" (the move menu),
// "rowkey ROW KEYS", "new", "delete ROW", "dragrow FROM TO".
void run(const EditorFixture &f, const QString &action)
{
    const QStringList words = action.split(u' ');
    const QString verb = words[0];
    const int a = words.value(1).toInt(), b = words.value(2).toInt();
    Toolbar *preview = f.editor->previewToolbar();
    Grid *grid = f.editor->addOnsGrid();
    if (verb == "menu"_L1) {
        f.choose(a, words.value(2));
    } else if (verb == "edit"_L1) {
        f.choose(a, u"T4"_s);
        QTest::keyClicks(f.control("txtTooltip"), words.mid(2).join(u' '));
        QTest::mouseClick(f.control("cmdDone"), Qt::LeftButton);
    } else if (verb == "reset"_L1) {
        clickCommand(f, 2);
    } else if (verb == "key"_L1) {
        preview->focusButton(a);
        keyOn(preview->buttonWidget(a), words.value(2));
    } else if (verb == "drag"_L1) {
        // Let go just past the middle of the button at b: the dragged one takes its place.
        QWidget *from = preview->buttonWidget(a);
        const QPoint target = preview->buttonRect(b).center() + QPoint(b > a ? 2 : -2, 0);
        drag(from, from->rect().center(), from->mapFrom(preview, target));
    } else if (verb == "cell"_L1) {
        grid->setCurrentRow(a);
        grid->setCurrentColumn(b);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, a, b));
        if (words.size() < 4)
            return;
        if (b == 3) {
            EditorFixture::pick(f.list("cmbboxAddOnParameters"), words.mid(3).join(u' '));
            // The offscreen platform leaves the closed list's window active; a real one gives it back.
            f.editor->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(f.editor.get()));
            return;
        }
        QTest::keyClicks(QApplication::focusWidget(), words.mid(3).join(u' '));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    } else if (verb == "rows"_L1) {
        PopupMenu::setNextAnswerForTesting([b](const PopupMenu &) { return b; });
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, cellCentre(grid, a, 1));
    } else if (verb == "rowkey"_L1) {
        grid->setFocus();
        grid->setCurrentRow(a);
        keyOn(grid, words.value(2));
    } else if (verb == "new"_L1 || verb == "delete"_L1) {
        grid->setCurrentRow(qMax(a, 1));
        QTest::mouseClick(f.control(verb == "new"_L1 ? "cmdAddAddOn" : "cmdKillAddOn"), Qt::LeftButton);
    } else if (verb == "dragrow"_L1) {
        drag(grid->viewport(), cellCentre(grid, a, 1), cellCentre(grid, b, 1) + QPoint(0, b > a ? 3 : -3));
    } else {
        QFAIL(qPrintable(u"unknown action "_s + action));
    }
}

} // namespace

class tst_Undo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { checkNothingLeft(); }

    void everyChange_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("text");
        QTest::addRow("add a button") << 1 << "menu 2 T0" << "Add a new Button";
        QTest::addRow("delete a bitmap button") << 1 << "menu 3 T1" << "Delete Button";
        QTest::addRow("left over a separator") << 1 << "menu 2 T2" << "Move Button to the Left";
        QTest::addRow("right") << 1 << "menu 2 T3" << "Move Button to the Right";
        QTest::addRow("begin a group") << 1 << "menu 3 T5" << "Begin a new Group";
        QTest::addRow("end a group") << 1 << "menu 2 T5" << "Remove Group Separator";
        QTest::addRow("done editing") << 1 << "edit 3 Renamed" << "Edit Button";
        QTest::addRow("reset drops a bitmap") << 1 << "reset" << "Reset Toolbar";
        QTest::addRow("Ctrl+Right over a separator") << 1 << "key 0 Ctrl+Right" << "Move Button to the Right";
        QTest::addRow("Ctrl+Left") << 1 << "key 3 Ctrl+Left" << "Move Button to the Left";
        QTest::addRow("Delete key") << 1 << "key 4 Del" << "Delete Button";
        QTest::addRow("drag a button") << 1 << "drag 0 3" << "Move Button";
        QTest::addRow("drag a separator") << 1 << "drag 1 4" << "Move Group Separator";
        QTest::addRow("rename") << 2 << "cell 1 1 Printer" << "Rename Add-On";
        QTest::addRow("command line") << 2 << "cell 2 2 D:\\N.EXE" << "Change Add-On Command Line";
        QTest::addRow("parameters") << 2 << "cell 2 3 %charfile%" << "Change Add-On Parameters";
        QTest::addRow("menu down") << 2 << "rows 1 2" << "Move Add-On Down";
        QTest::addRow("menu up") << 2 << "rows 2 1" << "Move Add-On Up";
        QTest::addRow("Alt+Down") << 2 << "rowkey 1 Alt+Down" << "Move Add-On Down";
        QTest::addRow("drag a row") << 2 << "dragrow 1 2" << "Move Add-On";
        QTest::addRow("new") << 2 << "new" << "New Add-On";
        QTest::addRow("delete") << 2 << "delete 1" << "Delete Add-On";
    }

    // Undo gives back exactly the lists before the change, redo the ones after; the command buttons and the
    // keys follow the history.
    void everyChange()
    {
        QFETCH(int, tab);
        QFETCH(QString, action);
        QFETCH(QString, text);
        EditorFixture f(kToolbits);
        openTab(f, tab);
        Toolbar *toolbar = commands(f);
        const int undo = undoButton(f), redo = undoButton(f, true);
        QVERIFY(!toolbar->isButtonEnabled(undo) && !toolbar->isButtonEnabled(redo));
        QCOMPARE(toolbar->buttonTooltip(undo), u"Undo"_s);

        const QString before = lists(f);
        run(f, action);
        const QString after = lists(f);
        QVERIFY(after != before);
        QCOMPARE(f.editor->undoStack()->count(), 1);
        // A new button opens the panel on itself: the first undo closes it, the history stays.
        if (f.control("Frame1")->isVisible()) {
            clickCommand(f, undo);
            QVERIFY(!f.control("Frame1")->isVisible());
            QCOMPARE(lists(f), after);
        }
        QVERIFY(toolbar->isButtonEnabled(undo) && !toolbar->isButtonEnabled(redo));
        QCOMPARE(toolbar->buttonTooltip(undo), u"Undo "_s + text);

        clickCommand(f, undo);
        QCOMPARE(lists(f), before);
        QVERIFY(!f.control("Frame1")->isVisible() && !f.editor->addOnsGrid()->isEditing());
        QVERIFY(!toolbar->isButtonEnabled(undo) && toolbar->isButtonEnabled(redo));
        QCOMPARE(toolbar->buttonTooltip(redo), u"Redo "_s + text);

        // Every key of the two, from a control that has no undo of its own.
        tabBar(f)->setFocus();
        for (const QString &keys : {u"Ctrl+Y"_s, u"Ctrl+Z"_s, u"Ctrl+Shift+Z"_s}) {
            keyOn(tabBar(f), keys);
            QCOMPARE(lists(f), keys == u"Ctrl+Z"_s ? before : after);
        }
    }

    void nothingChangedNothingToUndo_data()
    {
        QTest::addColumn<QByteArray>("toolbits");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("action");
        QTest::addRow("done without a change") << kToolbits << 1 << "edit 2 Pic A";
        QTest::addRow("menu dismissed") << kToolbits << 1 << "menu 3 ";
        QTest::addRow("reset of the default toolbar") << QByteArray() << 1 << "reset";
        QTest::addRow("same name committed") << kToolbits << 2 << "cell 1 1 Sheet Printer";
        QTest::addRow("shown parameters picked") << kToolbits << 2 << "cell 2 3 (none)";
    }

    void nothingChangedNothingToUndo()
    {
        QFETCH(QByteArray, toolbits);
        QFETCH(int, tab);
        QFETCH(QString, action);
        EditorFixture f(toolbits);
        openTab(f, tab);
        run(f, action);
        QCOMPARE(f.editor->undoStack()->count(), 0);
        QVERIFY(!commands(f)->isButtonEnabled(undoButton(f)));
    }

    // Saving keeps the history: undo after a save brings the earlier lists back, and saving again writes them.
    void undoAcrossSave()
    {
        EditorFixture f(kToolbits);
        run(f, u"reset"_s);
        clickCommand(f, 1);
        QVERIFY(f.savedFile().endsWith("[Toolbits]\r\n" + kDefaultToolbits));
        clickCommand(f, undoButton(f));
        clickCommand(f, 1);
        QCOMPARE(f.savedFile(), f.original);
    }

    // A picture loaded after a reset goes with the reset when that is undone; redoing both loads it again
    // rather than showing whatever picture then has its number.
    void redoFindsItsPictureAgain()
    {
        EditorFixture f(kToolbits);
        const QString bitmap = f.dir() + u"/picture.bmp"_s;
        QVERIFY(QFile::copy(u":/buttons/3.bmp"_s, bitmap));
        run(f, u"reset"_s);
        f.choose(0, u"T4"_s);
        FileDialog::setNextAnswerForTesting([bitmap](FileDialog &) { return bitmap; });
        QTest::mouseClick(f.control("cmdBrowseForBitmap"), Qt::LeftButton);
        QTest::mouseClick(f.control("cmdDone"), Qt::LeftButton);
        const QString edited = lists(f);
        QVERIFY(edited.contains(u"picture.bmp"_s));
        clickCommand(f, undoButton(f));
        clickCommand(f, undoButton(f));
        QCOMPARE(f.saveToolbits(), kToolbits);
        clickCommand(f, undoButton(f, true));
        clickCommand(f, undoButton(f, true));
        QCOMPARE(lists(f), edited);
    }

    // A load, by Reload INI or by switching tabs, drops the history (a save keeps it: undoAcrossSave).
    void loadStartsAfresh_data()
    {
        QTest::addColumn<bool>("reload");
        QTest::addRow("Reload INI") << true;
        QTest::addRow("tab switch") << false;
    }

    void loadStartsAfresh()
    {
        QFETCH(bool, reload);
        EditorFixture f(kToolbits);
        run(f, u"menu 2 T3"_s);
        if (reload)
            MessageBox::setNextAnswerForTesting(QMessageBox::Discard);
        if (reload)
            clickCommand(f, 0);
        else
            openTab(f, 2);
        QCOMPARE(f.editor->undoStack()->count(), 0);
        QVERIFY(!commands(f)->isButtonEnabled(undoButton(f)));
    }

    // The keys undo and redo the typing in a text box, not the lists.
    void textBoxKeepsItsOwnUndo_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addRow("Ctrl+Z") << "Ctrl+Z" << "Pic A";
        QTest::addRow("Ctrl+Y") << "Ctrl+Y" << "abc";
        QTest::addRow("Ctrl+Shift+Z") << "Ctrl+Shift+Z" << "abc";
    }

    void textBoxKeepsItsOwnUndo()
    {
        QFETCH(QString, keys);
        EditorFixture f(kToolbits);
        run(f, u"menu 0 T3"_s);
        const QString changed = lists(f);
        f.choose(2, u"T4"_s);
        auto *box = f.control<QLineEdit>("txtTooltip");
        QCOMPARE(QApplication::focusWidget(), box);
        QTest::keyClicks(box, u"abc"_s);
        if (keys != u"Ctrl+Z"_s)
            keyOn(box, u"Ctrl+Z"_s);
        keyOn(box, keys);
        QTEST(box->text(), "text");
        QCOMPARE(f.page()->editedPosition(), 2);
        QCOMPARE(f.editor->undoStack()->index(), 1);
        QCOMPARE(lists(f), changed);
    }

    // Undo with an edit open takes back its typing, then closes it unwritten; the history moves only after that.
    void undoClosesAnOpenEdit_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("open");
        QTest::addRow("button panel") << 1 << "menu 0 T3" << "menu 3 T4";
        QTest::addRow("command line editor") << 2 << "new" << "cell 1 2";
    }

    void undoClosesAnOpenEdit()
    {
        QFETCH(int, tab);
        QFETCH(QString, change);
        QFETCH(QString, open);
        EditorFixture f(kToolbits);
        openTab(f, tab);
        const QString before = lists(f);
        run(f, change);
        const QString changed = lists(f);
        run(f, open);
        QVERIFY(f.control("Frame1")->isVisible() || f.control("fraCommand")->isVisible());
        auto *text = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(text);
        QTest::keyClicks(text, u"typed"_s);
        for (int click = 0; click < 10 && (f.control("Frame1")->isVisible() || f.control("fraCommand")->isVisible());
             ++click)
            clickCommand(f, undoButton(f));
        QVERIFY(!f.control("Frame1")->isVisible() && !f.control("fraCommand")->isVisible());
        QVERIFY(!f.editor->addOnsGrid()->isEditing());
        QCOMPARE(lists(f), changed);
        clickCommand(f, undoButton(f));
        QCOMPARE(lists(f), before);
    }
};

QTEST_MAIN(tst_Undo)
#include "tst_undo.moc"
