#include "editorfixture.h"

#include <QMenu>

namespace {

const QByteArray N = "New=NEW|1\r\n", L = "Load...=LOAD|2\r\n", S = "Save=SAVE|3\r\n", S4 = "space4=|\r\n",
                 P = "Print=PRINT|4\r\n", PP = "Print Preview=PREVIEW|5\r\n", S7 = "space7=|\r\n",
                 PR = "Preferences...=PREFERENCES|6\r\n", E = "Exit QTA=EXIT|7\r\n";

} // namespace

class tst_ButtonMenu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { checkNothingLeft(); }

    void menuActions_data()
    {
        QTest::addColumn<QByteArray>("toolbits");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("offered"); // move left, move right, group checked
        QTest::addColumn<QByteArray>("saved");

        QTest::addRow("first: group makes space1") << QByteArray() << 0 << "T5"
                                                   << "-+-"
                                                   << "space1=|\r\n" + kDefaultToolbits;
        QTest::addRow("first: right swaps") << QByteArray() << 0 << "T3"
                                            << "-+-" << L + N + S + S4 + P + PP + S7 + PR + E;
        QTest::addRow("second: left swaps") << QByteArray() << 1 << "T2"
                                            << "++-" << L + N + S + S4 + P + PP + S7 + PR + E;
        QTest::addRow("last: left") << QByteArray() << 8 << "T2"
                                    << "+--" << N + L + S + S4 + P + PP + S7 + E + PR;
        QTest::addRow("after a separator: group removes it") << QByteArray() << 4 << "T5"
                                                             << "+++" << N + L + S + P + PP + S7 + PR + E;
        QTest::addRow("left over a separator: space5") << QByteArray() << 4 << "T2"
                                                       << "+++" << N + L + S + P + "space5=|\r\n" + PP + S7 + PR + E;
        QTest::addRow("right over a separator: space3") << QByteArray() << 2 << "T3"
                                                        << "++-" << N + L + "space3=|\r\n" + S + P + PP + S7 + PR + E;
        QTest::addRow("group in the middle") << QByteArray() << 5 << "T5"
                                             << "++-" << N + L + S + S4 + P + "space6=|\r\n" + PP + S7 + PR + E;
        QTest::addRow("add before the first") << QByteArray() << 0 << "T0"
                                              << "-+-"
                                              << "New Button=(none)|0\r\n" + kDefaultToolbits;
        QTest::addRow("delete") << QByteArray() << 5 << "T1"
                                << "++-" << N + L + S + S4 + P + S7 + PR + E;
        QTest::addRow("dismissed") << QByteArray() << 4 << ""
                                   << "+++" << kDefaultToolbits;
        QTest::addRow("only button: delete empties") << QByteArray("Solo=NEW|1\r\n") << 0 << "T1"
                                                     << "---" << QByteArray();
        QTest::addRow("loaded add-on button")
            << QByteArray("New=NEW|1\r\nSheet=RUNADDON(Sheet Printer)|4\r\n") << 1 << "T2"
            << "+--" << QByteArray("Sheet=RUNADDON(Sheet Printer)|4\r\nNew=NEW|1\r\n");
        // Equal keys would collapse into one line: a name in use by any entry, in any case, is skipped.
        QTest::addRow("new separator: name taken")
            << QByteArray("A=NEW|1\r\nB=SAVE|3\r\nSPACE2=EXIT|7\r\n") << 1 << "T5"
            << "++-" << QByteArray("A=NEW|1\r\nspace3=|\r\nB=SAVE|3\r\nSPACE2=EXIT|7\r\n");
        QTest::addRow("moved separator: name taken")
            << QByteArray("A=NEW|1\r\nspace9=|\r\nB=SAVE|3\r\nspace3=|\r\nC=EXIT|7\r\n") << 2 << "T2"
            << "+++" << QByteArray("A=NEW|1\r\nB=SAVE|3\r\nspace4=|\r\nspace3=|\r\nC=EXIT|7\r\n");
    }

    void menuActions()
    {
        QFETCH(QByteArray, toolbits);
        QFETCH(int, position);
        QFETCH(QString, key);
        EditorFixture f(toolbits);
        QString offered;
        f.choose(position, key, &offered);
        QTEST(offered, "offered");
        // The menu object is left empty; the stored set comes back whole at the next click.
        QCOMPARE(f.editor->contextMenus()->itemCount(), 0);
        // Only a new button opens the panel, on itself.
        QCOMPARE(f.page()->editedPosition(), key == u"T0"_s ? position : -1);
        QCOMPARE(f.control("Frame1")->isVisible(), key == u"T0"_s);
        QTEST(f.saveToolbits(), "saved");
    }

    // A click opens the menu at the pointer; Space on a focused button opens it under the button. Enter and F2
    // go straight to editing the button, without the menu.
    void menuPlace_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("menu");
        QTest::addRow("click") << 0 << true;
        QTest::addRow("space") << int(Qt::Key_Space) << true;
        QTest::addRow("enter edits") << int(Qt::Key_Return) << false;
        QTest::addRow("keypad enter edits") << int(Qt::Key_Enter) << false;
        QTest::addRow("F2 edits") << int(Qt::Key_F2) << false;
    }

    void menuPlace()
    {
        QFETCH(int, key);
        QFETCH(bool, menu);
        EditorFixture f({});
        Toolbar *preview = f.editor->previewToolbar();
        QWidget *button = preview->buttonWidget(5);
        QCursor::setPos(key ? QPoint(0, 0) : button->mapToGlobal(QPoint(5, 6)));
        QString offered;
        if (menu)
            EditorFixture::answerMenu(u"T4"_s, &offered);
        if (key) {
            // Tab reaches the buttons one by one; separators take no focus.
            preview->buttonWidget(0)->setFocus();
            for (int i = 0; i < 4; ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), button);
            QTest::keyClick(button, Qt::Key(key));
        } else {
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 6));
        }
        QCOMPARE(offered, menu ? u"++-"_s : QString());
        if (menu)
            QCOMPARE(f.editor->contextMenus()->lastShownPosition(),
                     button->mapToGlobal(key ? QPoint(0, button->height()) : QPoint(5, 6)));
        QCOMPARE(f.page()->editedPosition(), 5);
        QCOMPARE(QApplication::focusWidget(), f.control("txtTooltip"));
    }

    // The real menu, as the user sees it, then a choice by mouse or Escape.
    void realMenu_data()
    {
        QTest::addColumn<bool>("dismiss");
        QTest::addRow("move left by mouse") << false;
        QTest::addRow("escape") << true;
    }

    void realMenu()
    {
        QFETCH(bool, dismiss);
        EditorFixture f({});
        QStringList shown;
        QTimer::singleShot(0, this, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QAction *left = nullptr;
            for (QAction *action : menu ? menu->actions() : QList<QAction *>()) {
                if (!action->isSeparator())
                    shown.append(action->text() + (action->isEnabled() ? u""_s : u" (off)"_s)
                                 + (action->isChecked() ? u" (checked)"_s : u""_s));
                if (action->text() == u"Move Button to the &Left"_s)
                    left = action;
            }
            if (menu && (dismiss || !left))
                QTest::keyClick(menu, Qt::Key_Escape);
            else if (menu)
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(left).center());
        });
        QTest::mouseClick(f.editor->previewToolbar()->buttonWidget(4), Qt::LeftButton);
        QCOMPARE(shown,
                 QStringList({ u"&Add a new Button"_s, u"&Delete Button"_s, u"Move Button to the &Left"_s,
                               u"Move Button to the &Right"_s, u"&Edit Button"_s, u"&Begin a new Group (checked)"_s }));
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QCOMPARE(f.saveToolbits(), dismiss ? kDefaultToolbits : N + L + S + P + "space5=|\r\n" + PP + S7 + PR + E);
    }

    // The panel stays on the button it opened on, wherever the menu's actions carry it.
    void panelFollowsItsButton_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("key"); // "reload": the file is read again
        QTest::addColumn<int>("expected"); // where "Print" ends up; -1: it is gone and the panel closed

        QTest::addRow("a button in front deleted") << 0 << "T1" << 3;
        QTest::addRow("a group begun in front") << 1 << "T5" << 5;
        QTest::addRow("a neighbour moved over it") << 5 << "T2" << 5;
        QTest::addRow("itself moved over the separator") << 4 << "T2" << 3;
        QTest::addRow("its own group ended") << 4 << "T5" << 3;
        QTest::addRow("a button behind moved") << 7 << "T3" << 4;
        QTest::addRow("itself deleted") << 4 << "T1" << -1;
        QTest::addRow("toolbar reloaded") << 0 << "reload" << -1;
    }

    void panelFollowsItsButton()
    {
        QFETCH(int, position);
        QFETCH(QString, key);
        QFETCH(int, expected);
        EditorFixture f({});
        f.choose(4, u"T4"_s);
        QTest::keyClicks(f.control("txtTooltip"), u"Edited"_s);
        // Reload INI stores the edit, then drops it with the other changes.
        if (key == u"reload"_s)
            MessageBox::setNextAnswerForTesting(QMessageBox::Discard);
        if (key == u"reload"_s)
            QVERIFY(f.editor->reloadIni());
        else
            f.choose(position, key);
        QCOMPARE(f.page()->editedPosition(), expected);
        QCOMPARE(f.control("Frame1")->isVisible(), expected >= 0);
        if (expected < 0)
            return;
        QTest::mouseClick(f.control("cmdDone"), Qt::LeftButton);
        QCOMPARE(f.model()->indexOfKey(u"Edited"_s), expected);
        QCOMPARE(f.model()->at(expected).Command, u"PRINT"_s);
        QCOMPARE(f.model()->indexOfKey(u"Print"_s), -1);
    }
};

QTEST_MAIN(tst_ButtonMenu)
#include "tst_buttonmenu.moc"
