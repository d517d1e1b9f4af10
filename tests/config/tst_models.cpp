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
    void addOnMove_data();
    void addOnMove();
    void toolbarSignals();
    void toolbarIndexOfKey_data();
    void toolbarIndexOfKey();
    void imageKeys();
};

namespace {

QStringList names(const AddOnListModel &model)
{
    QStringList out;
    for (const AddOnEntry &e : model.entries())
        out.append(e.Name);
    return out;
}

QList<AddOnEntry> fourAddOns()
{
    QList<AddOnEntry> list;
    for (const QString &name : {u"A"_s, u"B"_s, u"C"_s, u"D"_s})
        list.append(AddOnEntry{name, name + u".exe"_s, u"(none)"_s});
    return list;
}

} // namespace

void tst_Models::addOnMove_data()
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

void tst_Models::addOnMove()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, order);
    QFETCH(int, destinationRow);

    AddOnListModel model;
    model.setEntries(fourAddOns());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);

    model.moveAddOn(from, to);

    QCOMPARE(names(model).join(QString()), order);
    QCOMPARE(moved.size(), destinationRow < 0 ? 0 : 1);
    if (destinationRow >= 0) {
        QCOMPARE(moved[0][1].toInt(), from);
        QCOMPARE(moved[0][2].toInt(), from);
        QCOMPARE(moved[0][4].toInt(), destinationRow);
   }
    // The grid shows what the list holds.
    for (int row = 0; row < model.rowCount(); ++row)
        QCOMPARE(model.index(row, AddOnListModel::NameColumn).data().toString(), QString(order[row]));
}

void tst_Models::toolbarSignals()
{
    ToolbarModel toolbar;
    QSignalSpy inserted(&toolbar, &ToolbarModel::buttonInserted);
    QSignalSpy removed(&toolbar, &ToolbarModel::buttonRemoved);
    QSignalSpy moved(&toolbar, &ToolbarModel::buttonMoved);
    QSignalSpy changed(&toolbar, &ToolbarModel::buttonChanged);
    QSignalSpy reset(&toolbar, &ToolbarModel::toolbarReset);

    const ToolbarButtonEntry newButton{u"New"_s, u"NEW"_s, 1, false};
    const ToolbarButtonEntry gap{u"space2"_s, QString(), -1, true};
    const ToolbarButtonEntry exit{u"Exit QTA"_s, u"EXIT"_s, 7, false};
    toolbar.reset({newButton, exit});
    QCOMPARE(reset.size(), 1);

    toolbar.insert(1, gap);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted[0][0].toInt(), 1);
    QVERIFY(toolbar.isSeparatorAt(1));
    QVERIFY(!toolbar.isSeparatorAt(3));

    toolbar.move(0, 2);
    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved[0][0].toInt(), 0);
    QCOMPARE(moved[0][1].toInt(), 2);
    QCOMPARE(toolbar.entries(), (QList<ToolbarButtonEntry>{gap, exit, newButton}));
    toolbar.move(1, 1);
    QCOMPARE(moved.size(), 1);

    toolbar.replace(2, newButton); // unchanged: no redraw
    QCOMPARE(changed.size(), 0);
    toolbar.replace(2, ToolbarButtonEntry{u"New"_s, u"NEW"_s, 3, false});
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].toInt(), 2);
    QCOMPARE(toolbar.at(2).ImageIndex, 3);

    toolbar.remove(0);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed[0][0].toInt(), 0);
    QCOMPARE(toolbar.count(), 2);
    QCOMPARE(inserted.size(), 1);
}

void tst_Models::toolbarIndexOfKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("except");
    QTest::addColumn<int>("expected");

    // Keys compare as the file compares them: letter case ignored, surrounding blanks too.
    QTest::addRow("exact") << u"Save"_s << -1 << 1;
    QTest::addRow("other case") << u"SAVE"_s << -1 << 1;
    QTest::addRow("surrounding blanks") << u" save "_s << -1 << 1;
    QTest::addRow("except the first finds the second") << u"save"_s << 1 << 3;
    QTest::addRow("except the only one") << u"new"_s << 0 << -1;
    QTest::addRow("separator key") << u"SPACE3"_s << -1 << 2;
    QTest::addRow("no such key") << u"Print"_s << -1 << -1;
}

void tst_Models::toolbarIndexOfKey()
{
    QFETCH(QString, key);
    QFETCH(int, except);
    QFETCH(int, expected);

    ToolbarModel toolbar;
    toolbar.reset({{u"New"_s, u"NEW"_s, 1, false},
                   {u"Save"_s, u"SAVE"_s, 3, false},
                   {u"space3"_s, QString(), -1, true},
                   {u"save"_s, u"SAVEAS"_s, 3, false}});
    QCOMPARE(toolbar.indexOfKey(key, except), expected);
}

void tst_Models::imageKeys()
{
    ButtonImageList images;
    QSignalSpy added(&images, &ButtonImageList::imageAdded);
    QSignalSpy removed(&images, &ButtonImageList::imagesRemoved);
    for (int i = 0; i < 8; ++i)
        images.add(ButtonImageEntry{QString::number(i), QString(), true});
    QCOMPARE(images.add(ButtonImageEntry{u"/pics/a.bmp"_s, u"/pics/a.bmp"_s, false}), 8);
    QCOMPARE(images.add(ButtonImageEntry{u"/pics/b.bmp"_s, u"/pics/b.bmp"_s, false}), 9);
    QCOMPARE(images.add(ButtonImageEntry{u"/pics/a.bmp"_s, u"/pics/a.bmp"_s, false}), 10);
    QCOMPARE(added.size(), 11);
    QCOMPARE(added.last()[0].toInt(), 10);
    QCOMPARE(images.indexOfKey(u"/pics/a.bmp"_s), 8); // the first picture of a key answers
    QCOMPARE(images.indexOfKey(u"3"_s), 3);

    images.removeFrom(9);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed[0][0].toInt(), 9);
    QCOMPARE(images.count(), 9);
    QCOMPARE(images.indexOfKey(u"/pics/b.bmp"_s), -1);
    QCOMPARE(images.indexOfKey(u"/pics/a.bmp"_s), 8);
    QCOMPARE(images.keyAt(9), QString());

    images.removeFrom(9); // nothing there: no signal
    QCOMPARE(removed.size(), 1);
    QCOMPARE(images.add(ButtonImageEntry{u"/pics/b.bmp"_s, u"/pics/b.bmp"_s, false}), 9);
    QCOMPARE(images.indexOfKey(u"/pics/b.bmp"_s), 9);
    images.clear();
    QCOMPARE(images.count(), 0);
    QCOMPARE(images.indexOfKey(u"0"_s), -1);
}

QTEST_GUILESS_MAIN(tst_Models)
#include "tst_models.moc"
