// The "Toolbar Editor" page as a user meets it; stories end in the preview and in the saved "Toolbits".
#include "addonreferences.h"
#include "editorwindow.h"
#include "pathfunctions.h"

#include <QLabel>

namespace {

// The host file without a toolbar of its own (the window shows the default one), and the start of one to fill in.
const QByteArray kNoToolbits = kHostIni.left(kHostIni.indexOf("[Toolbits]"));
const QByteArray kOwnToolbits = kNoToolbits + "[Toolbits]\r\n";
const QByteArray N = "New=NEW|1\r\n", L = "Load...=LOAD|2\r\n", S = "Save=SAVE|3\r\n", S4 = "space4=|\r\n",
                 P = "Print=PRINT|4\r\n", PP = "Print Preview=PREVIEW|5\r\n", S7 = "space7=|\r\n",
                 PR = "Preferences...=PREFERENCES|6\r\n", E = "Exit QTA=EXIT|7\r\n";
const QByteArray kDefault = N + L + S + S4 + P + PP + S7 + PR + E;

} // namespace

class tst_ToolbarPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { EditorWindow::checkNothingLeft(); }

    void menuActions_data()
    {
        QTest::addColumn<QByteArray>("toolbits"); // empty: the default toolbar
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QList<bool>>("offered"); // Left and Right enabled, Group checked
        QTest::addColumn<QByteArray>("saved");
        const QByteArray none;
        QTest::addRow("first: right swaps")
            << none << 0 << "T3" << QList { false, true, false } << L + N + S + S4 + P + PP + S7 + PR + E;
        QTest::addRow("last: left swaps")
            << none << 8 << "T2" << QList { true, false, false } << N + L + S + S4 + P + PP + S7 + E + PR;
        QTest::addRow("after a separator: group removes it")
            << none << 4 << "T5" << QList { true, true, true } << N + L + S + P + PP + S7 + PR + E;
        // A separator passed over takes a name from its new place.
        QTest::addRow("left over a separator")
            << none << 4 << "T2" << QList { true, true, true } << N + L + S + P + "space5=|\r\n" + PP + S7 + PR + E;
        QTest::addRow("add before the first")
            << none << 0 << "T0" << QList { false, true, false } << "New Button=(none)|0\r\n" + kDefault;
        // Equal keys would collapse into one line: a name in use by any entry, in any case, is skipped.
        QTest::addRow("new button: name taken")
            << QByteArray("New Button=NEW|1\r\n") << 0 << "T0" << QList { false, false, false }
            << QByteArray("New Button 2=(none)|0\r\nNew Button=NEW|1\r\n");
        QTest::addRow("new separator: name taken")
            << QByteArray("A=NEW|1\r\nB=SAVE|3\r\nSPACE2=EXIT|7\r\n") << 1 << "T5" << QList { true, true, false }
            << QByteArray("A=NEW|1\r\nspace3=|\r\nB=SAVE|3\r\nSPACE2=EXIT|7\r\n");
    }

    // Each item of a button's menu, offered as the button's place allows, does its change to the saved toolbar.
    void menuActions()
    {
        QFETCH(QByteArray, toolbits);
        QFETCH(int, position);
        QFETCH(QString, key);
        QFETCH(QList<bool>, offered);
        QFETCH(QByteArray, saved);
        EditorWindow w(toolbits.isEmpty() ? kNoToolbits : kOwnToolbits + toolbits);
        QVERIFY(w.start());
        QList<bool> shown;
        w.chooseFromButtonMenu(position, key, &shown);
        QCOMPARE(shown, offered);
        // Only a new button opens the panel, on itself.
        QCOMPARE(w.panelOpen(), key == u"T0"_s);
        QVERIFY(key != u"T0"_s || w.control<QComboBox>(u"cmbboxCommandNoAddOns"_s)->currentIndex() == 0); // no copy
        QCOMPARE(w.savedSection("Toolbits"), saved);
    }

    // Done and Enter store, Escape and Cancel drop; a command the lists lack is an item for its own edit only.
    void panelEditsTheButton()
    {
        const QByteArray toolbits = "New=NEW|1\r\nPrint sheet=RUNADDON(Sheet Printer)|4\r\nOld=FROBNICATE|2\r\n"
                                    "Lower=runaddon(notes)|3\r\nBlank=NEW|\r\n";
        EditorWindow w(kOwnToolbits + toolbits);
        QVERIFY(w.start());
        auto *tooltip = w.control<QLineEdit>(u"txtTooltip"_s);
        auto *host = w.control<QComboBox>(u"cmbboxCommandNoAddOns"_s);
        auto *addOns = w.control<QComboBox>(u"cmbboxCommandAddOns"_s);
        auto *picture = w.control<QComboBox>(u"cmbButtonBitmap"_s);
        const auto shown = [&] {
            return QStringList { tooltip->text(), host->currentText(), addOns->currentText(), picture->currentText() }
                .join(u'|');
        };
        w.chooseFromButtonMenu(1, u"T4"_s);
        QCOMPARE(shown(), u"Print sheet|(none)|RUNADDON(Sheet Printer)|4"_s);
        EditorWindow::pick(host, u"NEW"_s);
        QCOMPARE(addOns->currentText(), u"(none)"_s);
        QTest::keyClick(tooltip, Qt::Key_Escape);
        QVERIFY(!w.panelOpen());
        QCOMPARE(QApplication::focusWidget(), w.preview()->buttonWidget(1));

        w.preview()->focusButton(2);
        QTest::keyClick(w.preview()->buttonWidget(2), Qt::Key_Return);
        QCOMPARE(shown(), u"Old|FROBNICATE|(none)|2"_s);
        EditorWindow::pick(addOns, u"RUNADDONNUM(1)"_s);
        QCOMPARE(host->currentText(), u"(none)"_s);
        // Enter in an open list only picks its item; on the closed list it stores the edit.
        EditorWindow::pick(picture, u"(none)"_s);
        QVERIFY(w.panelOpen());
        QTest::keyClick(addOns, Qt::Key_Return);
        QVERIFY(!w.panelOpen());

        w.chooseFromButtonMenu(3, u"T4"_s);
        QCOMPARE(shown(), u"Lower|(none)|runaddon(notes)|3"_s);
        QCOMPARE(host->findText(u"FROBNICATE"_s), -1);
        EditorWindow::typeOver(tooltip, u"Gone"_s);
        w.control(u"cmdCancel"_s)->setFocus();
        QTest::keyClick(w.control(u"cmdCancel"_s), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w.preview()->buttonWidget(3));

        w.chooseFromButtonMenu(4, u"T4"_s);
        QCOMPARE(shown(), u"Blank|NEW|(none)|(none)"_s);
        QCOMPARE(addOns->findText(u"runaddon(notes)"_s), -1);
        // A name that starts with "[" but holds no "]" is no section header: nothing to question.
        EditorWindow::typeOver(tooltip, u"[Blank"_s);
        EditorWindow::pick(host, u"(none)"_s);
        QTest::mouseClick(w.control(u"cmdDone"_s), Qt::LeftButton);
        w.chooseFromButtonMenu(0, u"T4"_s);
        EditorWindow::pick(picture, u"7"_s);
        QTest::mouseClick(w.control(u"cmdCancel"_s), Qt::LeftButton);
        QCOMPARE(w.savedSection("Toolbits"),
                 "New=NEW|1\r\nPrint sheet=RUNADDON(Sheet Printer)|4\r\nOld=RUNADDONNUM(1)|\r\n"
                 "Lower=runaddon(notes)|3\r\n[Blank=(none)|\r\n");
        QVERIFY(EditorWindow::messages().isEmpty());
    }

    void panelFollowsItsButton_data()
    {
        QTest::addColumn<int>("edited"); // the button the panel opens on
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("key"); // "reload": Reload INI, which stores the edit and drops it with the rest
        QTest::addColumn<int>("expected"); // where the edited button ends up; -1: the panel closed
        QTest::addRow("a button in front deleted") << 4 << 0 << "T1" << 3;
        QTest::addRow("a group begun in front") << 4 << 1 << "T5" << 5;
        QTest::addRow("itself moved over the separator") << 4 << 4 << "T2" << 3;
        QTest::addRow("the first, the next moved in front") << 0 << 1 << "T2" << 1;
        QTest::addRow("another button's panel opened") << 4 << 0 << "T4" << 4;
        QTest::addRow("a new button added in front") << 4 << 0 << "T0" << 5;
        QTest::addRow("itself deleted") << 4 << 4 << "T1" << -1;
        QTest::addRow("toolbar reloaded") << 4 << 0 << "reload" << -1;
    }

    // The panel stays on the button it opened on, wherever other changes carry it.
    void panelFollowsItsButton()
    {
        QFETCH(int, edited);
        QFETCH(int, position);
        QFETCH(QString, key);
        QFETCH(int, expected);
        EditorWindow w(kNoToolbits);
        QVERIFY(w.start());
        w.chooseFromButtonMenu(edited, u"T4"_s);
        EditorWindow::typeOver(w.control(u"txtTooltip"_s), u"Edited"_s);
        if (key == u"reload"_s)
            w.answerMessage(u"not been saved"_s, QMessageBox::Discard);
        key == u"reload"_s ? w.clickCommand(u"Reload INI"_s) : w.chooseFromButtonMenu(position, key);
        QCOMPARE(w.panelOpen(), expected >= 0);
        if (expected < 0)
            return;
        QTest::mouseClick(w.control(u"cmdDone"_s), Qt::LeftButton);
        const QByteArray line = kDefault.split('\n').at(edited);
        QCOMPARE(w.savedSection("Toolbits").split('\n').at(expected), "Edited" + line.mid(line.indexOf('=')));
    }

    void unsavableValuesAreQuestioned_data()
    {
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QString>("command"); // picked from the add-on commands (A|B's first of all); empty: left
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QByteArray>("saved"); // after "Save anyway"; empty: saving is refused
        // The file keeps the first line's place and name with the last one's value.
        QTest::addRow("another button's name")
            << u"SAVE"_s << QString() << u"collapse into one"_s << QByteArray("SAVE=SAVE|3\r\nspace2=|\r\n");
        QTest::addRow("holds =") << u"a=b"_s << QString() << u"holds \"=\""_s << QByteArray();
        QTest::addRow("command holds |") << u"New"_s << u"RUNADDON(A|B)"_s << u"holds \"|\""_s << QByteArray();
    }

    // Values a line cannot hold are questioned at Done; kept, they are marked and the save does what was said.
    void unsavableValuesAreQuestioned()
    {
        QFETCH(QString, tooltip);
        QFETCH(QString, command);
        QFETCH(QString, warning);
        QFETCH(QByteArray, saved);
        const QByteArray ini = QByteArray(kNoToolbits).replace("[Addons]\r\n", "[Addons]\r\nA|B=C:\\AB.EXE\r\n")
            + "[Toolbits]\r\nNew=NEW|1\r\nspace2=|\r\nSave=SAVE|3\r\n";
        EditorWindow w(ini);
        QVERIFY(w.start());
        w.chooseFromButtonMenu(0, u"T4"_s);
        EditorWindow::typeOver(w.control(u"txtTooltip"_s), tooltip);
        if (!command.isEmpty())
            EditorWindow::pick(w.control<QComboBox>(u"cmbboxCommandAddOns"_s), command);

        w.answerMessage(warning, QMessageBox::No);
        QTest::mouseClick(w.control(u"cmdDone"_s), Qt::LeftButton);
        QVERIFY(w.panelOpen());
        QCOMPARE(QApplication::focusWidget(),
                 w.control(command.isEmpty() ? u"txtTooltip"_s : u"cmbboxCommandAddOns"_s));
        QCOMPARE(w.preview()->buttonTooltip(0), u"New"_s);
        // Nor does a tab switch take the user away from it.
        w.answerMessage(warning, QMessageBox::No);
        w.clickTab(2);
        QVERIFY(w.panelOpen() && w.control<QTabWidget>(u"vbTabControl1"_s)->currentIndex() == 0);

        w.answerMessage(warning, QMessageBox::Yes);
        QTest::mouseClick(w.control(u"cmdDone"_s), Qt::LeftButton);
        QCOMPARE(w.preview()->buttonTooltip(0), tooltip);
        if (saved.isEmpty()) {
            w.answerMessage(warning, QMessageBox::Ok);
        } else {
            w.chooseFromButtonMenu(2, u"T1"_s); // a mark comes back with its button
            w.clickCommand(u"Undo"_s);
            QVERIFY(w.preview()->buttonMark(0).contains(u"same name"_s)
                    && w.preview()->buttonMark(2).contains(u"same name"_s));
            w.answerMessage(u"one line"_s, QMessageBox::Save);
        }
        w.clickCommand(u"Save INI"_s);
        QCOMPARE(w.fileBytes(), saved.isEmpty() ? ini : ini.left(ini.indexOf("New=")) + saved);
    }

    // Each change is one named step; undoing all gives the file back, redoing all (pictures too) the changed one.
    void changesUndoAndRedo()
    {
        const QByteArray toolbits
            = "New=NEW|1\r\nspace2=|\r\nPic A=SAVE|C:\\PICS\\A.BMP\r\nPic B=PRINT|C:\\PICS\\B.BMP\r\n"
              "Exit QTA=EXIT|7\r\n";
        EditorWindow w(kOwnToolbits + toolbits);
        const QString folder = w.otherFolder(u"pictures"_s), bitmap = folder + u"/picture.bmp"_s;
        QVERIFY(QFile::copy(u":/buttons/3.bmp"_s, bitmap));
        writeBytes(folder + u"/text.bmp"_s, "not a picture");
        FolderSettings::write(FolderSettings::bitmapsKey(), folder);
        QVERIFY(w.start());
        Toolbar *preview = w.preview();
        // Nothing changed, nothing to undo.
        w.renameButton(0, u"New"_s);
        w.chooseFromButtonMenu(0, QString());
        QCOMPARE(w.offered(u"Undo"_s), QString());

        w.chooseFromButtonMenu(2, u"T2"_s);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Move Button to the Left"_s);
        preview->focusButton(3);
        QTest::keyClick(preview->buttonWidget(3), Qt::Key_Delete);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Delete Button"_s);
        // Let go just left of the middle of the first button: the separator takes its place.
        QWidget *separator = preview->buttonWidget(2);
        const QPoint target = separator->mapFrom(preview, preview->buttonRect(0).center() - QPoint(2, 0));
        QTest::mousePress(separator, Qt::LeftButton, {}, separator->rect().center());
        QTest::mouseMove(separator, target);
        QTest::mouseRelease(separator, Qt::LeftButton, {}, target);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Move Group Separator"_s);
        preview->focusButton(1);
        QTest::keyClick(preview->buttonWidget(1), Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Move Button to the Right"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left, Qt::ControlModifier); // back, and right again
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Move Button to the Left"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right, Qt::ControlModifier);
        w.chooseFromButtonMenu(3, u"T5"_s);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Begin a new Group"_s);
        w.renameButton(2, u"Renamed"_s);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Edit Button"_s);
        QCOMPARE(w.savedSection("Toolbits"),
                 "space1=|\r\nPic A=SAVE|C:\\PICS\\A.BMP\r\nRenamed=NEW|1\r\nspace4=|\r\nExit QTA=EXIT|7\r\n");

        w.clickCommand(u"Reset Toolbar"_s);
        QCOMPARE(w.offered(u"Undo"_s), u"Undo Reset Toolbar"_s);
        // "..." opens in the bitmaps folder, shows the file the user moves to, and takes only a picture.
        w.chooseFromButtonMenu(0, u"T4"_s);
        FileDialog::setNextAnswerForTesting([folder](FileDialog &) { return folder + u"/text.bmp"_s; });
        w.answerMessage(u"not a picture this program can read"_s, QMessageBox::Ok);
        QTest::mouseClick(w.control(u"cmdBrowseForBitmap"_s), Qt::LeftButton);
        bool previewed = false;
        FileDialog::setNextAnswerForTesting([&](FileDialog &dialog) {
            dialog.emitFileChangeForTesting(bitmap);
            previewed = dialog.initialDir() == folder && dialog.filter() == u"Windows Bitmaps (*.bmp)|*.bmp"_s
                && !dialog.previewWidget()->findChild<QLabel *>(u"picPreviewImage"_s)->pixmap().isNull();
            return bitmap;
        });
        QTest::mouseClick(w.control(u"cmdBrowseForBitmap"_s), Qt::LeftButton);
        QVERIFY(previewed);
        QTest::mouseClick(w.control(u"cmdDone"_s), Qt::LeftButton);
        // Its key: the short path on Windows, the path itself elsewhere (the folder is canonical).
        const QByteArray changed = "New=NEW|" + shortPathName(bitmap).toLocal8Bit() + "\r\n" + kDefault.mid(N.size());
        QCOMPARE(w.savedSection("Toolbits"), changed);

        auto *tabs = w.control<QTabWidget>(u"vbTabControl1"_s)->tabBar();
        tabs->setFocus();
        for (int step = 0; step < 10; ++step)
            step % 2 ? w.clickCommand(u"Undo"_s) : QTest::keyClick(tabs, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.offered(u"Undo"_s), QString());
        QCOMPARE(w.offered(u"Redo"_s), u"Redo Move Button to the Left"_s);
        QCOMPARE(w.savedSection("Toolbits"), toolbits);
        for (int step = 0; step < 10; ++step)
            QTest::keyClick(tabs, step % 2 ? Qt::Key_Y : Qt::Key_Z,
                            step % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.savedSection("Toolbits"), changed);
        const QImage shown = preview->grab().toImage();
        w.clickCommand(u"Reload INI"_s); // each button shows the picture of its own line, as when read afresh
        QCOMPARE(preview->grab().toImage(), shown);
    }

    void addOnReferences_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("problem"); // a part of what the mark says; empty: no mark
        QTest::addRow("name: letter case and blanks as in the file") << "runAddOnByName( notes )" << QString();
        QTest::addRow("unknown name") << "RUNADDON(Foo)" << u"No add-on is named \"Foo\""_s;
        QTest::addRow("last number") << "runaddonbynum(2)" << QString();
        QTest::addRow("number past the end") << "RUNADDONNUM(3)" << u"no add-on number 3 (the list holds 3 add-ons"_s;
        QTest::addRow("negative number") << "RUNADDONNUM(-1)" << u"\"-1\" is not an add-on number"_s;
        QTest::addRow("text after the bracket") << "RUNADDON(Notes) -q" << u"Text follows the closing bracket"_s;
    }

    // What a button's add-on command refers to, read as QTA reads it when the button is pressed.
    void addOnReferences()
    {
        QFETCH(QString, command);
        QFETCH(QString, problem);
        QList<AddOnEntry> addOns;
        for (const QString &name : { u"Sheet Printer"_s, u"Notes"_s, u"Printer (A4)"_s })
            addOns.append(AddOnEntry { name, u"C:\\X.EXE"_s, u"(none)"_s });
        const QString said = AddOnReferences(addOns).problem(command);
        QVERIFY2(problem.isEmpty() ? said.isEmpty() : said.contains(problem), qPrintable(said));
    }
};

QTEST_MAIN(tst_ToolbarPage)
#include "tst_toolbarpage.moc"
