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
        connect(m_grid, &Grid::EditRequested, this, note(u"edit"_s));
        connect(m_grid, &Grid::CurrentCellChanged, this, note(u"current"_s));
        connect(m_grid, &Grid::rowMoveRequested, this, note(u"move"_s));
        connect(m_grid, &Grid::rowDropped, this, note(u"drop"_s));
        connect(m_grid, &Grid::GridNotice, this, [this] { m_log << u"notice"_s; });
        connect(m_grid, &Grid::EditingEnded, this, [this] { m_log << u"ended"_s; });
    }

    // Scrolled first: the page floats its editors over cells below the first screen too.
    void clickTwiceToEdit()
    {
        m_grid->verticalScrollBar()->setValue(4);
        click(6, 1); // the first click only selects
        click(6, 3);
        click(6, 3);
        m_grid->FinishEditing();
        QCOMPARE(m_log, (QStringList { u"current 6,1"_s, u"current 6,3"_s, u"edit 6,3"_s, u"ended"_s }));
        // A right click opens the page's menu and leaves the row that Delete acts on alone.
        m_log.clear();
        QTest::mouseClick(m_grid->viewport(), Qt::RightButton, {}, centre(7, 1));
        QTest::mouseClick(m_grid->viewport(), Qt::RightButton, {}, centre(6, 3));
        QCOMPARE(m_log, QStringList());
        // A double click edits the cell its first click made current.
        click(8, 2);
        QTest::mouseDClick(m_grid->viewport(), Qt::LeftButton, {}, centre(8, 2));
        QTest::mouseRelease(m_grid->viewport(), Qt::LeftButton, {}, centre(8, 2));
        QCOMPARE(m_log, (QStringList { u"current 8,2"_s, u"edit 8,2"_s }));
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
        QCOMPARE(m_grid->CurrentRow(), current);
        // The page stores or drops its editor's text on the notice, before the edit is gone.
        QStringList expected = stillEditing ? QStringList() : QStringList { u"notice"_s, u"ended"_s };
        if (current != 2)
            expected << u"current %1,%2"_s.arg(current).arg(current ? 1 : 0);
        QCOMPARE(m_log, expected);
    }

    void drag_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("onto");
        QTest::addColumn<QString>("where"); // in the row, or beside the grid at its height
        QTest::addColumn<bool>("escape"); // then back to let go where the drag began
        QTest::addColumn<QString>("expected");
        QTest::addRow("down") << 2 << 5 << u"upper half"_s << false << "|drop 2,4";
        QTest::addRow("down, lower half of the row") << 2 << 5 << u"lower half"_s << false << "|drop 2,5";
        QTest::addRow("up, above the row before") << 5 << 4 << u"upper half"_s << false << "|drop 5,4";
        QTest::addRow("back on its own place") << 3 << 2 << u"lower half"_s << false << "";
        QTest::addRow("let go beside the grid") << 2 << 5 << u"beside"_s << false << "";
        QTest::addRow("Escape cancels") << 2 << 5 << u"upper half"_s << true << "";
    }

    // The current row, with its edit open: the drag ends the edit, and neither press nor release asks for one.
    void drag()
    {
        QFETCH(int, from);
        QFETCH(int, onto);
        QFETCH(QString, where);
        QFETCH(bool, escape);
        QFETCH(QString, expected);
        m_grid->setCurrentRow(from);
        QTest::keyClick(m_grid, Qt::Key_F2);
        m_log.clear();
        QWidget *viewport = m_grid->viewport();
        const QWidget *marker = viewport->findChild<QWidget *>(u"dropMarker"_s);
        const int half = m_grid->CellRectangle(onto, 1).height() / 2;
        const QPoint start = centre(from, 1);
        QPoint end = centre(onto, 1) + QPoint(0, where == u"lower half" ? half - 3 : 3 - half); // just inside the row
        if (where == u"beside")
            end.setX(-3);
        sendMouse(viewport, QEvent::MouseButtonPress, start, Qt::LeftButton);
        for (int step = 1; step <= 4; ++step)
            sendMouse(viewport, QEvent::MouseMove, start + (end - start) * step / 4, Qt::LeftButton);
        // The line shows where the row lands, and nothing shows where it would not move.
        QCOMPARE(marker->isVisible(), !expected.isEmpty() || escape || where == u"beside");
        if (escape) {
            QTest::keyClick(m_grid, Qt::Key_Escape);
            QVERIFY(!marker->isVisible());
            sendMouse(viewport, QEvent::MouseMove, start, Qt::LeftButton);
        }
        sendMouse(viewport, QEvent::MouseButtonRelease, escape ? start : end, Qt::NoButton);
        QCOMPARE(m_log.join(u'|'), u"notice|ended"_s + expected);
        QVERIFY(!marker->isVisible());
    }

private:
    std::function<void(int, int)> note(const QString &what)
    {
        return [this, what](int a, int b) { m_log << u"%1 %2,%3"_s.arg(what).arg(a).arg(b); };
    }
    QPoint centre(int row, int column) const
    {
        return m_grid->viewport()->mapFrom(m_page.get(), m_grid->CellRectangle(row, column).center());
    }
    void click(int row, int column) { QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, centre(row, column)); }

    std::unique_ptr<QWidget> m_page;
    Grid *m_grid = nullptr;
    QStringList m_log;
};

QTEST_MAIN(tst_Grid)
#include "tst_grid.moc"
