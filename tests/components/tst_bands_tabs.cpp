#include "bandcontainer.h"
#include "buttonimagelist.h"
#include "buttonpicturelist.h"
#include "picturecombolist.h"
#include "tabcontrol.h"
#include "toolbar.h"

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

namespace {

Toolbar *commandToolbar(int pictureSize)
{
    auto *toolbar = new Toolbar;
    toolbar->setPictureSize(pictureSize);
    toolbar->addButton({}, -1, -1, 0, QStringLiteral("Exit"), Toolbar::AutoSizeStyle);
    return toolbar;
}

QList<int> arguments(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &call : spy)
        values.append(call.at(0).toInt());
    return values;
}

} // namespace

class tst_BandsTabs final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void onlyVisibleBandShows_data()
    {
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("oneStep");
        QTest::addColumn<QList<int>>("heights"); // reported, as multiples of the first band's height

        QTest::addRow("same height, one step") << 1 << true << QList<int>{};
        QTest::addRow("taller band, one step") << 2 << true << QList<int>{2};
        QTest::addRow("taller band, shown before the old one hides") << 2 << false << QList<int>{3, 2};
    }

    void onlyVisibleBandShows()
    {
        QFETCH(int, shown);
        QFETCH(bool, oneStep);
        QFETCH(QList<int>, heights);

        BandContainer bands;
        const QList<Toolbar *> toolbars{commandToolbar(16), commandToolbar(16), commandToolbar(16)};
        for (int i = 0; i < toolbars.size(); ++i)
            QCOMPARE(bands.addBand(toolbars.at(i), QStringLiteral("Toolbar%1").arg(i + 1)), i);
        toolbars.at(2)->setFixedHeight(2 * toolbars.at(0)->sizeHint().height());
        bands.showOnlyBand(bands.bandIndex(QStringLiteral("Toolbar1")));
        bands.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bands));
        const int unit = bands.height();
        QCOMPARE(unit, toolbars.at(0)->sizeHint().height());

        QSignalSpy heightChanged(&bands, &BandContainer::heightChanged);
        if (oneStep) {
            bands.showOnlyBand(shown);
        } else {
            bands.setBandVisible(shown, true);
            bands.setBandVisible(0, false);
        }
        QCoreApplication::processEvents();

        for (int i = 0; i < toolbars.size(); ++i) {
            QCOMPARE(bands.isBandVisible(i), i == shown);
            QCOMPARE(toolbars.at(i)->isVisible(), i == shown);
        }
        QList<int> expected;
        for (int multiple : heights)
            expected.append(multiple * unit);
        QCOMPARE(arguments(heightChanged), expected);
        QCOMPARE(bands.height(), shown == 2 ? 2 * unit : unit);
    }

    void bandFollowsItsToolbar()
    {
        BandContainer bands;
        auto *toolbar = new Toolbar;
        bands.addBand(toolbar, QStringLiteral("Toolbar1"));
        bands.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bands));
        QSignalSpy heightChanged(&bands, &BandContainer::heightChanged);

        toolbar->setPictureSize(32);
        toolbar->addButton(QStringLiteral("Big"), -1);
        QVERIFY(toolbar->sizeHint().height() > 32);
        QTRY_COMPARE(bands.height(), toolbar->sizeHint().height());
        QCOMPARE(arguments(heightChanged), QList<int>{bands.height()});
    }

    void tabSelectedOnlyOnUserChoice_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QList<int>>("signalled");
        QTest::addColumn<int>("selected");

        QTest::addRow("click another tab") << "click 3" << QList<int>{3} << 3;
        QTest::addRow("click the selected tab") << "click 1" << QList<int>{} << 1;
        QTest::addRow("arrow key on the strip") << "right" << QList<int>{2} << 2;
        QTest::addRow("select by key in code") << "select Tab4" << QList<int>{} << 4;
        QTest::addRow("unknown key") << "select Tab9" << QList<int>{} << 1;
        QTest::addRow("tabs rebuilt in code") << "rebuild" << QList<int>{} << 1;
    }

    void tabSelectedOnlyOnUserChoice()
    {
        QFETCH(QString, action);
        QFETCH(QList<int>, signalled);
        QFETCH(int, selected);

        TabControl tabs;
        QSignalSpy tabSelected(&tabs, &TabControl::tabSelected);
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(tabs.addTab(QStringLiteral("Tab number %1").arg(i), -1, QStringLiteral("Tab%1").arg(i)), i);
        tabs.selectTab(QStringLiteral("Tab1"));
        tabs.resize(480, 330);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        QVERIFY(tabs.pageArea().top() > tabs.tabBar()->geometry().bottom());
        QVERIFY(tabs.rect().contains(tabs.pageArea()));

        QTabBar *bar = tabs.tabBar();
        const QStringList words = action.split(QLatin1Char(' '));
        if (words.first() == QLatin1String("click")) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(words.last().toInt() - 1).center());
        } else if (action == QLatin1String("right")) {
            bar->setFocus();
            QTest::keyClick(bar, Qt::Key_Right);
        } else if (words.first() == QLatin1String("select")) {
            tabs.selectTab(words.last());
        } else {
            tabs.removeTabs();
            QCOMPARE(tabs.selectedTab(), 0);
            tabs.addTab(QStringLiteral("Again"), -1, QStringLiteral("Tab1"));
        }
        QCOMPARE(arguments(tabSelected), signalled);
        QCOMPARE(tabs.selectedTab(), selected);
    }

    void comboSelectionMadeOnlyOnUserChoice_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QList<int>>("signalled");
        QTest::addColumn<int>("selected");

        QTest::addRow("set in code") << "code" << QList<int>{} << 2;
        QTest::addRow("arrow key on the closed list") << "down" << QList<int>{1} << 1;
        QTest::addRow("chosen in the open list") << "popup" << QList<int>{2} << 2;
    }

    void comboSelectionMadeOnlyOnUserChoice()
    {
        QFETCH(QString, action);
        QFETCH(QList<int>, signalled);
        QFETCH(int, selected);

        PictureComboList combo;
        QSignalSpy selectionMade(&combo, &PictureComboList::selectionMade);
        for (const char *text : {"(none)", "0", "1"})
            combo.addItem(QLatin1String(text), 0);
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));

        if (action == QLatin1String("code")) {
            combo.setSelectedPosition(2);
        } else if (action == QLatin1String("down")) {
            QTest::keyClick(&combo, Qt::Key_Down);
        } else {
            combo.showPopup();
            QAbstractItemView *view = combo.view();
            QTRY_VERIFY(view->isVisible());
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(view->model()->index(2, 0)).center());
        }
        QCOMPARE(arguments(selectionMade), signalled);
        QCOMPARE(combo.selectedPosition(), selected);
    }

    void comboPicturesFollowButtonPictures()
    {
        ButtonImageList entries;
        ButtonPictureList pictures(&entries);
        PictureComboList combo;
        combo.setImageList(pictures.images());
        combo.addItem(QStringLiteral("(none)"), 0);
        combo.addItem(QStringLiteral("BITMAP~1.BMP"), 1);
        QVERIFY(combo.itemIcon(0).isNull());

        entries.add({QStringLiteral("0"), QStringLiteral(":/buttons/0.bmp"), true});
        entries.add({QStringLiteral("BITMAP~1.BMP"), QStringLiteral("/no/such/file.bmp"), false});
        QCOMPARE(combo.itemIcon(1).pixmap(16, 16).toImage(), ButtonPictureList::notFoundPixmap().toImage());
        QVERIFY(!combo.itemIcon(0).isNull());

        entries.removeFrom(1);
        QVERIFY(combo.itemIcon(1).isNull());
    }
};

QTEST_MAIN(tst_BandsTabs)
#include "tst_bands_tabs.moc"
