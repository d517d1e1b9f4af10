#include "imagelist.h"
#include "popupmenu.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QStringList toolbarKeys { u"T0"_s, u"T1"_s, QString(), u"T2"_s, u"T3"_s, QString(), u"T4"_s, QString(), u"T5"_s };

// The button menu as the main window builds it; a separator has no key and no icon, item Tn has icon n. As for
// the first button: Move Left (4) disabled, Begin a new Group (9) checked.
void addToolbarSet(PopupMenu &menu)
{
    const QStringList captions { u"&Add a new Button"_s,
                                 u"&Delete Button"_s,
                                 u"-"_s,
                                 u"Move Button to the &Left"_s,
                                 u"Move Button to the &Right"_s,
                                 u"-"_s,
                                 u"&Edit Button"_s,
                                 u"-"_s,
                                 u"&Begin a new Group"_s };
    for (int i = 0; i < captions.size(); ++i)
        menu.addItem(captions.at(i), toolbarKeys.at(i).isEmpty() ? -1 : toolbarKeys.at(i).mid(1).toInt(),
                     toolbarKeys.at(i));
    menu.setEnabled(4, false);
    menu.setChecked(9, true);
}

} // namespace

class tst_PopupMenu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QCOMPARE(PopupMenu::pendingAnswersForTesting(), 0); }
    void storedSets()
    {
        PopupMenu menu;
        addToolbarSet(menu);
        menu.store(u"Toolbar"_s);
        menu.clear();
        menu.addItem(u"Move Add-On &Up"_s, 6, u"A1"_s);
        menu.store(u"Addons"_s);
        menu.clear();
        QCOMPARE(menu.itemCount(), 0);

        // The stored copy comes back with its states; changing the current copy never reaches it.
        for (int round = 0; round < 2; ++round) {
            QVERIFY(menu.restore(u"Toolbar"_s));
            QCOMPARE(menu.itemCount(), 9);
            QCOMPARE(menu.caption(7), u"&Edit Button"_s);
            QVERIFY(menu.isEnabled(1) && !menu.isEnabled(4) && menu.isChecked(9) && !menu.isChecked(1));
            menu.setEnabled(4, true);
            menu.setChecked(9, false);
            menu.setEnabled(1, false);
            QVERIFY(menu.restore(u"Addons"_s));
            QCOMPARE(menu.itemCount(), 1);
        }
        QVERIFY(!menu.restore(u"toolbar"_s));
        QCOMPARE(menu.caption(1), u"Move Add-On &Up"_s);
    }

    void positionOfKey_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("expected");

        QTest::addRow("after three separators") << u"T5"_s << 9;
        QTest::addRow("empty key of the separators") << QString() << 0;
        QTest::addRow("missing") << u"A1"_s << 0;
        QTest::addRow("repeated key gives the first") << u"T1"_s << 2;
    }

    void positionOfKey()
    {
        QFETCH(QString, key);
        QFETCH(int, expected);

        PopupMenu menu;
        addToolbarSet(menu);
        menu.addItem(u"Again"_s, -1, u"T1"_s);
        QCOMPARE(menu.positionOfKey(key), expected);
    }

    void hookAnswer_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("expected");

        QTest::addRow("enabled item") << 2 << 2;
        QTest::addRow("checked item") << 9 << 9;
        QTest::addRow("disabled item") << 4 << 0;
        QTest::addRow("separator") << 3 << 0;
        QTest::addRow("dismissed") << 0 << 0;
        QTest::addRow("past the end") << 10 << 0;
    }

    void hookAnswer()
    {
        QFETCH(int, answer);
        QFETCH(int, expected);

        PopupMenu menu;
        addToolbarSet(menu);
        bool leftEnabled = true;
        QPoint seenAt;
        PopupMenu::setNextAnswerForTesting([&](const PopupMenu &shown) {
            leftEnabled = shown.isEnabled(shown.positionOfKey(u"T2"_s));
            seenAt = shown.lastShownPosition();
            return answer;
        });
        QCOMPARE(menu.show(QPoint(30, 40)), expected);
        QVERIFY(!leftEnabled);
        QCOMPARE(seenAt, QPoint(30, 40));
    }

    void realMenu_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("expected");

        QTest::addRow("accelerator picks its item") << QList<int> { Qt::Key_D } << 2;
        QTest::addRow("accelerator of a checked item") << QList<int> { Qt::Key_B } << 9;
        QTest::addRow("Escape dismisses") << QList<int> { Qt::Key_Escape } << 0;
        QTest::addRow("accelerator of a disabled item is ignored") << QList<int> { Qt::Key_L, Qt::Key_Escape } << 0;
    }

    void realMenu()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, expected);

        QWidget owner;
        ImageList images(QSize(16, 16));
        QPixmap picture(16, 16);
        picture.fill(Qt::red);
        for (int i = 0; i < 5; ++i) // too few on purpose: icon 5 of the last item is missing
            images.addPixmap(picture, QString::number(i));
        PopupMenu menu(&owner);
        menu.setImageList(&images);
        addToolbarSet(menu);

        QPoint shownAt;
        QStringList seen; // per item: e(nabled), c(hecked), i(con)
        // exec() shows the menu before it starts waiting, so this runs with the menu up.
        QTimer::singleShot(0, this, [&] {
            auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(popup);
            shownAt = popup->pos();
            for (const QAction *action : popup->actions())
                seen.append(QString(action->isSeparator() ? u"-"_s : u""_s) + (action->isEnabled() ? u"e"_s : u""_s)
                            + (action->isChecked() ? u"c"_s : u""_s) + (action->icon().isNull() ? u""_s : u"i"_s));
            for (int key : keys)
                QTest::keyClick(popup, Qt::Key(key));
            if (popup->isVisible()) // never leave it open: the suite would hang
                popup->close();
        });
        QCOMPARE(menu.show(QPoint(100, 120)), expected);
        QCOMPARE(shownAt, QPoint(100, 120));
        QCOMPARE(seen,
                 (QStringList { u"ei"_s, u"ei"_s, u"-e"_s, u"i"_s, u"ei"_s, u"-e"_s, u"ei"_s, u"-e"_s, u"ec"_s }));
    }
};

QTEST_MAIN(tst_PopupMenu)
#include "tst_popupmenu.moc"
