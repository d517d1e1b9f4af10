#include "grid.h"
#include "uitest.h"

#include <QScrollBar>

using namespace Qt::StringLiterals;

using Change = std::function<void(Grid &)>;
Q_DECLARE_METATYPE(Change)

// The add-on grid as the page holds it: twenty add-ons, the grid away from the page's corner, row 2 current, and
// every signal it raises noted in order.
class tst_Grid final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_log.clear();
        m_page = std::make_unique<QWidget>();
        m_page->resize(480, 260);
        auto *model = new AddOnListModel(m_page.get());
        for (int i = 1; i <= 20; ++i)
            model->appendAddOn(AddOnEntry { u"Tool %1"_s.arg(i), u"C:\\T%1.EXE"_s.arg(i), u"(none)"_s });
        m_grid = new Grid(m_page.get());
        m_grid->setGeometry(10, 24, 465, 164);
        m_grid->setAddOnModel(model);
        for (const QString &column : { u"Name"_s, u"Command"_s, u"Parameters"_s })
            m_grid->addColumn(column, column, 150);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowActive(m_page.get()));
        m_grid->setCurrentRow(2);
        connect(m_grid, &Grid::editRequested, this, note(u"edit"_s));
        connect(m_grid, &Grid::currentCellChanged, this, note(u"current"_s));
        connect(m_grid, &Grid::gridNotice, this, [this] { m_log << u"notice"_s; });
        connect(m_grid, &Grid::editingEnded, this, [this] { m_log << u"ended"_s; });
    }

    void editEndsWhenItsCellGoesAway_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("stillEditing");
        QTest::addColumn<int>("current"); // the edited add-on's row afterwards, or where the current cell went

        QTest::addRow("scrolled") << Change([](Grid &g) { g.verticalScrollBar()->setValue(1); }) << false << 2;
        QTest::addRow("add-on inserted above")
            << Change([](Grid &g) { g.addOnModel()->insertAddOn(0, {}); }) << false << 3;
        QTest::addRow("add-on appended") << Change([](Grid &g) { g.addOnModel()->appendAddOn({}); }) << true << 2;
        QTest::addRow("its own add-on deleted")
            << Change([](Grid &g) { g.addOnModel()->removeAddOn(1); }) << false << 2;
        QTest::addRow("list replaced") << Change([](Grid &g) { g.addOnModel()->setEntries({}); }) << false << 0;
        QTest::addRow("another row made current") << Change([](Grid &g) { g.setCurrentRow(5); }) << false << 5;
        QTest::addRow("a cell's text written")
            << Change([](Grid &g) { g.addOnModel()->setCellText(1, 1, u"C:\\NEW.EXE"_s); }) << true << 2;
    }

    void editEndsWhenItsCellGoesAway()
    {
        QFETCH(Change, change);
        QFETCH(bool, stillEditing);
        QFETCH(int, current);
        QTest::keyClick(m_grid, Qt::Key_F2);
        m_log.clear();
        change(*m_grid);
        QCOMPARE(m_grid->isEditing(), stillEditing);
        QCOMPARE(m_grid->currentRow(), current);
        // The page stores or drops its editor's text on the notice, before the edit is gone.
        QStringList expected = stillEditing ? QStringList() : QStringList { u"notice"_s, u"ended"_s };
        if (current != 2)
            expected << u"current %1,%2"_s.arg(current).arg(current ? 1 : 0);
        QCOMPARE(m_log, expected);
    }

private:
    std::function<void(int, int)> note(const QString &what)
    {
        return [this, what](int a, int b) { m_log << u"%1 %2,%3"_s.arg(what).arg(a).arg(b); };
    }

    std::unique_ptr<QWidget> m_page;
    Grid *m_grid = nullptr;
    QStringList m_log;
};

QTEST_MAIN(tst_Grid)
#include "tst_grid.moc"
