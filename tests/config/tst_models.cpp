#include "addonlistmodel.h"
#include "buttonimagelist.h"
#include "toolbarmodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_Models : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addOnMove_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("order");
        QTest::addColumn<int>("destinationRow"); // as rowsMoved names it; -1: no move signalled

        QTest::addRow("first to last") << 0 << 3 << u"BCDA"_s << 4;
        QTest::addRow("last to first") << 3 << 0 << u"DABC"_s << 0;
        QTest::addRow("down by one") << 1 << 2 << u"ACBD"_s << 3;
        QTest::addRow("up by one") << 2 << 1 << u"ACBD"_s << 1;
        QTest::addRow("onto itself") << 2 << 2 << u"ABCD"_s << -1;
    }

    void addOnMove()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, order);
        QFETCH(int, destinationRow);

        AddOnListModel model;
        for (const QString &name : { u"A"_s, u"B"_s, u"C"_s, u"D"_s })
            model.appendAddOn(AddOnEntry { name, name + u".exe"_s, u"(none)"_s });
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);

        model.moveAddOn(from, to);

        QString shown; // what the grid shows
        for (int row = 0; row < model.rowCount(); ++row)
            shown += model.index(row, AddOnListModel::NameColumn).data().toString();
        QCOMPARE(shown, order);
        QCOMPARE(model.entries().at(0).CommandLine, order.left(1) + u".exe"_s);
        QCOMPARE(moved.size(), destinationRow < 0 ? 0 : 1);
        if (destinationRow >= 0)
            QCOMPARE((QList<int> { moved[0][1].toInt(), moved[0][2].toInt(), moved[0][4].toInt() }),
                     (QList<int> { from, from, destinationRow }));
    }

    void toolbarSignals()
    {
        ToolbarModel toolbar;
        QSignalSpy inserted(&toolbar, &ToolbarModel::buttonInserted);
        QSignalSpy removed(&toolbar, &ToolbarModel::buttonRemoved);
        QSignalSpy moved(&toolbar, &ToolbarModel::buttonMoved);
        QSignalSpy changed(&toolbar, &ToolbarModel::buttonChanged);
        QSignalSpy reset(&toolbar, &ToolbarModel::toolbarReset);
        const auto calls = [](const QSignalSpy &spy) {
            QList<QVariantList> out(spy.begin(), spy.end());
            return out;
        };

        const ToolbarButtonEntry newButton { u"New"_s, u"NEW"_s, 1, false };
        const ToolbarButtonEntry gap { u"space2"_s, QString(), -1, true };
        const ToolbarButtonEntry exit { u"Exit QTA"_s, u"EXIT"_s, 7, false };
        toolbar.reset({ newButton, exit });
        toolbar.insert(1, gap);
        QVERIFY(toolbar.isSeparatorAt(1) && !toolbar.isSeparatorAt(3));
        toolbar.move(0, 2);
        toolbar.move(1, 1); // onto itself: no signal
        QCOMPARE(toolbar.entries(), (QList<ToolbarButtonEntry> { gap, exit, newButton }));
        toolbar.replace(2, newButton); // unchanged: no redraw
        toolbar.replace(2, ToolbarButtonEntry { u"New"_s, u"NEW"_s, 3, false });
        toolbar.remove(0);

        QCOMPARE(reset.size(), 1);
        QCOMPARE(calls(inserted), QList<QVariantList> { { 1 } });
        QCOMPARE(calls(moved), (QList<QVariantList> { { 0, 2 } }));
        QCOMPARE(calls(changed), QList<QVariantList> { { 2 } });
        QCOMPARE(calls(removed), QList<QVariantList> { { 0 } });
        QCOMPARE(toolbar.entries(), (QList<ToolbarButtonEntry> { exit, { u"New"_s, u"NEW"_s, 3, false } }));
    }

    void toolbarIndexOfKey_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("except");
        QTest::addColumn<int>("expected");

        // Keys compare as the file compares them: letter case ignored, surrounding blanks too.
        QTest::addRow("other case") << u"SAVE"_s << -1 << 1;
        QTest::addRow("surrounding blanks") << u" save "_s << -1 << 1;
        QTest::addRow("except the first finds the second") << u"save"_s << 1 << 3;
        QTest::addRow("except the only one") << u"new"_s << 0 << -1;
        QTest::addRow("separator key") << u"SPACE3"_s << -1 << 2;
        QTest::addRow("no such key") << u"Print"_s << -1 << -1;
    }

    void toolbarIndexOfKey()
    {
        QFETCH(QString, key);
        QFETCH(int, except);
        QFETCH(int, expected);

        ToolbarModel toolbar;
        toolbar.reset({ { u"New"_s, u"NEW"_s, 1, false },
                        { u"Save"_s, u"SAVE"_s, 3, false },
                        { u"space3"_s, QString(), -1, true },
                        { u"save"_s, u"SAVEAS"_s, 3, false } });
        QCOMPARE(toolbar.indexOfKey(key, except), expected);
    }

    void imageKeys()
    {
        ButtonImageList images;
        QSignalSpy added(&images, &ButtonImageList::imageAdded);
        QSignalSpy removed(&images, &ButtonImageList::imagesRemoved);
        const auto file = [](const QString &path) { return ButtonImageEntry { path, path, false }; };
        for (int i = 0; i < 8; ++i)
            images.add(ButtonImageEntry { QString::number(i), QString(), true });
        QCOMPARE(images.add(file(u"/pics/a.bmp"_s)), 8);
        QCOMPARE(images.add(file(u"/pics/b.bmp"_s)), 9);
        QCOMPARE(images.add(file(u"/pics/a.bmp"_s)), 10);
        QCOMPARE(added.size(), 11);
        QCOMPARE(added.last()[0].toInt(), 10);
        QCOMPARE(images.indexOfKey(u"/pics/a.bmp"_s), 8); // the first picture of a key answers

        images.removeFrom(9);
        images.removeFrom(9); // nothing there: no signal
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed[0][0].toInt(), 9);
        QCOMPARE(images.count(), 9);
        QCOMPARE(images.indexOfKey(u"/pics/b.bmp"_s), -1);
        QCOMPARE(images.keyAt(9), QString());
        QCOMPARE(images.add(file(u"/pics/b.bmp"_s)), 9);
        QCOMPARE(images.indexOfKey(u"/pics/b.bmp"_s), 9);
        images.clear();
        QCOMPARE(images.indexOfKey(u"0"_s), -1);
    }
};

QTEST_GUILESS_MAIN(tst_Models)
#include "tst_models.moc"
