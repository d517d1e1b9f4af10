// The "Add-Ons Editor" page as a user meets it; stories end in the grid and in the saved "Addons" lines.
#include "editorwindow.h"
#include "pathfunctions.h"

#include <QHeaderView>
#include <QLabel>
#include <QToolTip>

namespace {

// Three add-ons; a button refers to the first by name.
const QByteArray kIni = QByteArray(kHostIni).replace("Notes=", "Batch=C:\\B.EXE -q %filelistquoted%\r\nNotes=");

QStringList rowOf(const EditorWindow &w, int row)
{
    return { w.cellText(row, 1), w.cellText(row, 2), w.cellText(row, 3) };
}

} // namespace

class tst_AddOnsPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { EditorWindow::checkNothingLeft(); }

    void editorKeys_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QList<int>>("keys"); // after "Typed" in a text box
        QTest::addColumn<QString>("stored"); // empty: the cell as it was
        QTest::addRow("name: Enter") << 1 << QList<int> { Qt::Key_Return } << u"Typed"_s;
        QTest::addRow("name: Escape") << 1 << QList<int> { Qt::Key_Escape } << QString();
        QTest::addRow("name: Tab away") << 1 << QList<int> { Qt::Key_Tab } << QString();
        QTest::addRow("command line: Tab to \"...\", Escape")
            << 2 << QList<int> { Qt::Key_Tab, Qt::Key_Escape } << QString();
        QTest::addRow("parameters: arrows move, Enter stores")
            << 3 << QList<int> { Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Return } << u"%charfile%"_s;
        QTest::addRow("parameters: arrows move, Escape drops")
            << 3 << QList<int> { Qt::Key_Down, Qt::Key_Escape } << QString();
    }

    // The editor opens on the cell with its text selected; the keys do what the page says under the grid.
    void editorKeys()
    {
        QFETCH(int, column);
        QFETCH(QList<int>, keys);
        QFETCH(QString, stored);
        EditorWindow w;
        QVERIFY(w.start());
        w.clickTab(2);
        const QString before = w.cellText(2, column);
        w.startCellEdit(2, column);
        QWidget *editor = QApplication::focusWidget();
        QCOMPARE(editor->mapTo(w.grid()->viewport(), QPoint()), w.grid()->visualRect(w.cell(2, column)).topLeft());
        if (auto *box = qobject_cast<QLineEdit *>(editor)) {
            QCOMPARE(box->selectedText(), before);
            QTest::keyClicks(box, u"Typed"_s);
        }
        for (const int key : keys)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QVERIFY(!w.editing());
        QCOMPARE(w.cellText(2, column), stored.isEmpty() ? before : stored);
        if (keys.constLast() != Qt::Key_Tab)
            QCOMPARE(QApplication::focusWidget(), w.grid());
    }

    // Clicks elsewhere, the move menu or a new add-on drop an open edit; opening the list is not leaving it, and
    // the edit follows its cell when a column is resized.
    void leavingAnEditDropsIt()
    {
        EditorWindow w;
        QVERIFY(w.start());
        w.clickTab(2);
        // A double click on a cell not yet selected edits it at once, the whole name selected.
        w.clickCell(2, 1);
        w.clickCell(1, 1);
        QTest::mousePress(w.grid()->viewport(), Qt::LeftButton, {}, w.cellCentre(1, 1));
        QTest::mouseDClick(w.grid()->viewport(), Qt::LeftButton, {}, w.cellCentre(1, 1));
        QTest::mouseRelease(w.grid()->viewport(), Qt::LeftButton, {}, w.cellCentre(1, 1));
        QCOMPARE(qobject_cast<QLineEdit *>(QApplication::focusWidget())->selectedText(), u"Sheet Printer"_s);
        QTest::keyClicks(QApplication::focusWidget(), u"Typed"_s);
        w.startCellEdit(2, 1);
        QTest::keyClicks(QApplication::focusWidget(), u"Typed"_s);
        w.moveRow(1, 0);
        w.startCellEdit(2, 2);
        QTest::keyClicks(QApplication::focusWidget(), u"Typed"_s);
        w.grid()->horizontalHeader()->resizeSection(0, w.grid()->columnWidth(0) + 10);
        QTRY_COMPARE(w.control(u"fraCommand"_s)->geometry(), w.grid()->visualRect(w.cell(2, 2)));
        QTest::mouseClick(w.control(u"cmdAddAddOn"_s), Qt::LeftButton);
        QVERIFY(!w.editing());
        w.startCellEdit(2, 3);
        auto *list = w.control<QComboBox>(u"cmbboxAddOnParameters"_s);
        list->showPopup();
        QTRY_VERIFY(list->view()->isVisible());
        list->hidePopup();
        QVERIFY(w.editing());
        w.clickCell(1, 1);
        QVERIFY(!w.editing());
        QCOMPARE(w.savedSection("Addons"), sectionOf(kHostIni, "Addons") + "New Add-On=\r\n");
    }

    // Delete is greyed without a row; equal names are marked, in a tooltip that wraps; bad names refuse the save.
    void newDeleteAndNameMarks()
    {
        EditorWindow w;
        QVERIFY(w.start());
        w.clickTab(2);
        QWidget *kill = w.control(u"cmdKillAddOn"_s), *add = w.control(u"cmdAddAddOn"_s);
        w.clickCell(1, 2);
        QTest::mouseClick(kill, Qt::LeftButton);
        QCOMPARE(rowOf(w, 1).first(), u"Notes"_s);
        QTest::mouseClick(kill, Qt::LeftButton);
        QVERIFY(!kill->isEnabled());
        QTest::mouseClick(add, Qt::LeftButton);
        QVERIFY(kill->isEnabled());
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(w.currentRow(), 2);
        const QString warning = w.nameWarning(1);
        QVERIFY(warning.contains(u"Rows 1 and 2"_s) && warning.contains(u"command line of row 2"_s));
        QVERIFY(w.grid()->accessibleDescription().contains(u"Row 2: "_s + warning));
        QHelpEvent hover(QEvent::ToolTip, w.cellCentre(2, 1), w.grid()->viewport()->mapToGlobal(w.cellCentre(2, 1)));
        QApplication::sendEvent(w.grid()->viewport(), &hover);
        QTRY_VERIFY(QToolTip::isVisible());
        const QWidgetList windows = QApplication::topLevelWidgets();
        const auto tip = std::find_if(windows.cbegin(), windows.cend(),
                                      [](QWidget *t) { return t->inherits("QTipLabel") && t->isVisible(); });
        QVERIFY(tip != windows.cend() && (*tip)->width() <= w.window->width());
        QVERIFY(static_cast<QLabel *>(*tip)->text().contains(u"New Add-On\nRows 1 and 2"_s));
        QToolTip::hideText();

        w.typeIntoCell(2, 1, u"a=b"_s);
        QVERIFY(w.nameWarning(2).contains(u"cannot be saved"_s));
        QCOMPARE(w.nameWarning(1), QString());
        w.answerMessage(u"a=b"_s, QMessageBox::Ok);
        w.clickCommand(u"Save INI"_s);
        QCOMPARE(w.fileBytes(), kHostIni);
    }

    // "..." browses the add-ons folder; a program is stored by its short path, else its full one; the edit ends.
    void browseForProgram()
    {
        EditorWindow w;
        const QString folder = w.otherFolder(u"programs"_s);
        writeBytes(folder + u"/tool.exe"_s, "MZ");
        FolderSettings::write(FolderSettings::exesKey(), folder);
        QVERIFY(w.start());
        w.clickTab(2);
        for (const QString &chosen : { QString(), u"gone.exe"_s, u"../programs/tool.exe"_s }) {
            w.startCellEdit(2, 2);
            QTest::keyClicks(QApplication::focusWidget(), u"D:\\X.EXE"_s);
            bool asked = false;
            FileDialog::setNextAnswerForTesting([&](FileDialog &dialog) {
                asked = dialog.initialDir() == folder && dialog.filter() == u"Windows Executables (*.exe)|*.exe"_s
                    && !dialog.previewWidget();
                return chosen.isEmpty() ? QString() : folder + u'/' + chosen;
            });
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            QVERIFY(asked && !w.editing());
            QCOMPARE(w.window->focusWidget(), w.grid());
            const QString path = folder + u'/' + QFileInfo(chosen).fileName();
            const QString stored = shortPathName(path).isEmpty() ? QDir::toNativeSeparators(path) : shortPathName(path);
            QCOMPARE(rowOf(w, 2)[1], chosen.isEmpty() ? u"C:\\NOTEPAD.EXE"_s : stored);
        }
    }

    void linesAsQtaReadsThem_data()
    {
        QTest::addColumn<QByteArray>("lines"); // the "Addons" section the window starts on
        QTest::addColumn<QStringList>("shown"); // name, command line and parameters of row 1
        QTest::addColumn<int>("column"); // edited in row 1; 0: none
        QTest::addColumn<QString>("text"); // typed, or picked from the parameters
        QTest::addColumn<QByteArray>("saved");
        QTest::addRow("value in an extra pair of quotes, then a parameter")
            << QByteArray("Viewer=\"\"C:\\a.exe\" \"b\"\"\r\n")
            << QStringList { u"Viewer"_s, u"\"C:\\a.exe\" \"b\""_s, u"(none)"_s } << 3 << u"%charfile%"_s
            << QByteArray("Viewer=\"C:\\a.exe\" \"b\" %charfile%\r\n");
        // A nameless line is an add-on QTA counts: it keeps its place, and every add-on after it its number.
        QTest::addRow("nameless lines, an edit")
            << QByteArray("A=C:\\A.EXE\r\n=C:\\B.EXE\r\nC=C:\\C.EXE\r\n=C:\\D.EXE\r\n")
            << QStringList { u"A"_s, u"C:\\A.EXE"_s, u"(none)"_s } << 3 << u"%charfile%"_s
            << QByteArray("A=C:\\A.EXE %charfile%\r\n=C:\\B.EXE\r\nC=C:\\C.EXE\r\n=C:\\D.EXE\r\n");
    }

    // The grid shows what QTA reads from each line; a save writes the grid so that QTA reads exactly that back.
    void linesAsQtaReadsThem()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QStringList, shown);
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(QByteArray, saved);
        EditorWindow w("[Addons]\r\n" + lines);
        QVERIFY(w.start());
        w.clickTab(2);
        QCOMPARE(rowOf(w, 1) << w.grid()->model()->headerData(0, Qt::Horizontal).toString(), shown << u"Add-On Name"_s);
        if (column == 3) {
            w.startCellEdit(1, 3);
            EditorWindow::pick(w.control<QComboBox>(u"cmbboxAddOnParameters"_s), text);
        } else if (column) {
            w.typeIntoCell(1, column, text);
        }
        const QStringList edited = rowOf(w, 1);
        QCOMPARE(w.savedSection("Addons"), saved);
        QCOMPARE(EditorWindow::messages(), QStringList());
        w.clickCommand(u"Reload INI"_s);
        QCOMPARE(rowOf(w, 1), edited);
    }

    // Each change is one named step; undoing all gives the file back, redoing all the changed one.
    void changesUndoAndRedo()
    {
        EditorWindow w(kIni);
        QVERIFY(w.start());
        w.clickTab(2);
        w.typeIntoCell(1, 1, u"Sheet Printer"_s);
        QCOMPARE(w.offered(u"Undo"_s), QString());
        w.typeIntoCell(1, 1, u"Printer"_s);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Rename Add-On"_s);
        w.typeIntoCell(3, 2, u"D:\\N.EXE"_s);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Change Add-On Command Line"_s);
        w.clickCell(3, 3);
        QTest::keyClick(w.grid(), Qt::Key_Return);
        EditorWindow::pick(w.control<QComboBox>(u"cmbboxAddOnParameters"_s), u"%charfile%"_s);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Change Add-On Parameters"_s);
        // The move menu offers what the row's place allows, for the row under the pointer.
        QList<bool> offered;
        w.moveRow(1, 0, &offered);
        QCOMPARE(offered, QList({ false, true }));
        w.moveRow(3, 0, &offered);
        QCOMPARE(offered, QList({ true, false }));
        w.moveRow(2, 1);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Move Add-On Up"_s);
        w.clickCell(2, 1);
        QTest::keyClick(w.grid(), Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Move Add-On Down"_s);
        QCOMPARE(w.currentRow(), 3);
        // A drag moves the row to where it is let go (here: just above the middle of row 3, so above it), unless
        // Escape calls it off first.
        for (const bool escape : { true, false }) {
            QTest::mousePress(w.grid()->viewport(), Qt::LeftButton, {}, w.cellCentre(1, 1));
            QTest::mouseMove(w.grid()->viewport(), w.cellCentre(3, 1) - QPoint(0, 2));
            if (escape)
                QTest::keyClick(w.grid(), Qt::Key_Escape);
            QTest::mouseRelease(w.grid()->viewport(), Qt::LeftButton, {}, w.cellCentre(3, 1) - QPoint(0, 2));
        }
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Move Add-On"_s);
        QTest::mouseClick(w.control(u"cmdAddAddOn"_s), Qt::LeftButton);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo New Add-On"_s);
        w.clickCell(3, 1);
        QTest::mouseClick(w.control(u"cmdKillAddOn"_s), Qt::LeftButton);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Delete Add-On"_s);
        const QByteArray changed = w.savedSection("Addons");
        QCOMPARE(changed, "Notes=D:\\N.EXE %charfile%\r\nBatch=C:\\B.EXE -q %filelistquoted%\r\nNew Add-On=\r\n");

        w.grid()->setFocus();
        for (int step = 0; step < 8; ++step)
            step % 2 ? w.clickCommand(u"Undo"_s) : QTest::keyClick(w.grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.offered(u"Redo"_s), u"Redo Rename Add-On"_s);
        QCOMPARE(w.savedSection("Addons"), sectionOf(kIni, "Addons"));
        for (int step = 0; step < 8; ++step)
            step % 2 ? w.clickCommand(u"Redo"_s) : QTest::keyClick(w.grid(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.savedSection("Addons"), changed);
    }
};

QTEST_MAIN(tst_AddOnsPage)
#include "tst_addonspage.moc"
