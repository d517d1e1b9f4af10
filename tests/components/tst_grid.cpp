#include "grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

using namespace Qt::StringLiterals;

class tst_Grid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { delete m_page; }

    void init()
    {
        // Laid out as on the page: the grid away from the corner, so cell rectangles in page coordinates differ.
        m_page = new QWidget;
        m_page->resize(480, 260);
        m_model = new AddOnListModel(m_page);
        for (int i = 1; i <= 20; ++i)
            m_model->appendAddOn(AddOnEntry{u"Tool %1"_s.arg(i), u"C:\\T%1.EXE"_s.arg(i), u"(none)"_s});
        m_grid = new Grid(m_page);
        m_grid->setGeometry(10, 24, 465, 164);
        m_grid->addColumn(u"Name"_s, u"Add-On Name"_s, 146); // before and after the model: both must apply
        m_grid->setAddOnModel(m_model);
        m_grid->addColumn(u"Command"_s, u"Command Line"_s, 236);
        m_grid->addColumn(u"Parameters"_s, u"Parameters"_s, 79);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowActive(m_page));
        m_grid->setCurrentRow(0); // focus arriving made a first cell current
        m_log.clear();
        connect(m_grid, &Grid::EditRequested, this, [this](int r, int c) { m_log << u"edit %1,%2"_s.arg(r).arg(c); });
        connect(m_grid, &Grid::EditingEnded, this, [this] { m_log << u"ended"_s; });
        connect(m_grid, &Grid::GridNotice, this, [this] { m_log << u"notice"_s; });
        connect(m_grid, &Grid::CurrentCellChanged, this,
                [this](int r, int c) { m_log << u"current %1,%2"_s.arg(r).arg(c); });
        connect(m_grid, &Grid::rowMoveRequested, this,
                [this](int r, int step) { m_log << u"move %1 %2"_s.arg(r).arg(step); });
        connect(m_grid, &Grid::rowDropped, this, [this](int a, int b) { m_log << u"drop %1 %2"_s.arg(a).arg(b); });
    }

    void events_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("log");

        QTest::addRow("first click only selects") << "click 2 1" << "current 2,1";
        QTest::addRow("select, then click again") << "click 2 1|click 2 1" << "current 2,1|edit 2,1";
        QTest::addRow("second click elsewhere in the row") << "click 2 1|click 2 3" << "current 2,1|current 2,3";
        QTest::addRow("double click on a new cell") << "click 4 2|dblclick 4 2|release 4 2" << "current 4,2|edit 4,2";
        QTest::addRow("right click leaves the current cell") << "click 2 1|right 3 1|right 2 1" << "current 2,1";
        QTest::addRow("F2") << "current 3|key F2" << "current 3,1|edit 3,1";
        QTest::addRow("Enter and keypad Enter") << "current 3|key Return|key Enter" << "current 3,1|edit 3,1|edit 3,1";
        QTest::addRow("arrows move the cell") << "current 3|key Down|key Right|key F2"
                                              << "current 3,1|current 4,1|current 4,2|edit 4,2";
        QTest::addRow("finish ends the edit once") << "current 1|key F2|finish|finish" << "current 1,1|edit 1,1|ended";

        // Whatever moves the cell from under a floating editor abandons the edit; other changes leave it open.
        QTest::addRow("scroll while editing") << "current 1|key F2|scroll" << "current 1,1|edit 1,1|notice|ended";
        QTest::addRow("scroll without an edit") << "current 1|scroll" << "current 1,1";
        QTest::addRow("column resized") << "current 1|key F2|resize" << "current 1,1|edit 1,1|notice|ended";
        QTest::addRow("row below removed") << "current 1|key F2|delete 5" << "current 1,1|edit 1,1|notice|ended";
        QTest::addRow("rows cleared") << "current 1|key F2|clear" << "current 1,1|edit 1,1|notice|ended|current 0,0";
        QTest::addRow("another row made current") << "current 1|key F2|current 2"
                                                  << "current 1,1|edit 1,1|notice|ended|current 2,1";
        QTest::addRow("row appended") << "current 1|key F2|insert -1" << "current 1,1|edit 1,1";

        // The current cell keeps its add-on when rows come and go above it; the numbers follow.
        QTest::addRow("row inserted above") << "current 3|insert 1" << "current 3,1|current 4,1";
        QTest::addRow("row deleted above") << "current 3|delete 1" << "current 3,1|current 2,1";
        QTest::addRow("current first row deleted") << "current 1|delete 1" << "current 1,1";
        QTest::addRow("current last row deleted") << "current 20|delete 20" << "current 20,1|current 19,1";

        // Moves are requests: the grid itself changes nothing.
        QTest::addRow("Alt+Up") << "current 3|alt Up" << "current 3,1|move 3 -1";
        QTest::addRow("Alt+Down") << "current 3|alt Down" << "current 3,1|move 3 1";
        QTest::addRow("Alt+Up on the first row") << "current 1|alt Up" << "current 1,1";
        QTest::addRow("Alt+Down on the last row") << "current 20|alt Down" << "current 20,1";
        QTest::addRow("drag the current row down: no edit") << "click 2 1|drag 2 5" << "current 2,1|line|drop 2 4";
        QTest::addRow("drag a row up") << "drag 5 2" << "current 5,1|line|drop 5 2";
        QTest::addRow("drop on the lower half of a row") << "drag 2 5 bottom" << "current 2,1|line|drop 2 5";
        QTest::addRow("drop on its own place") << "drag 3 2 bottom" << "current 3,1";
        QTest::addRow("Escape cancels a drag") << "click 2 1|drag 2 5 escape" << "current 2,1|line";
        QTest::addRow("a drag ends an edit") << "current 2|key F2|drag 2 5"
                                             << "current 2,1|edit 2,1|notice|ended|line|drop 2 4";
    }

    void events()
    {
        QFETCH(QString, steps);
        QFETCH(QString, log);

        for (const QString &step : steps.split(u'|')) {
            const QStringList w = step.split(u' ');
            const int a = w.value(1).toInt(), b = w.value(2).toInt();
            const QString verb = w.at(0);
            if (verb == "click"_L1 || verb == "right"_L1)
                QTest::mouseClick(m_grid->viewport(), verb == "right"_L1 ? Qt::RightButton : Qt::LeftButton, {},
                                  centre(a, b));
            else if (verb == "dblclick"_L1)
                QTest::mouseDClick(m_grid->viewport(), Qt::LeftButton, {}, centre(a, b)); // the second press only
            else if (verb == "release"_L1)
                QTest::mouseRelease(m_grid->viewport(), Qt::LeftButton, {}, centre(a, b));
            else if (verb == "key"_L1 || verb == "alt"_L1)
                QTest::keyClick(m_grid, Qt::Key(QKeySequence::fromString(w.at(1))[0].key()),
                                verb == "alt"_L1 ? Qt::AltModifier : Qt::NoModifier);
            else if (verb == "drag"_L1)
                dragRow(a, b, w.contains(u"bottom"_s), w.contains(u"escape"_s));
            else if (verb == "current"_L1)
                m_grid->setCurrentRow(a);
            else if (verb == "finish"_L1)
                m_grid->FinishEditing();
            else if (verb == "scroll"_L1)
                m_grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            else if (verb == "resize"_L1)
                m_grid->horizontalHeader()->resizeSection(1, 100);
            else if (verb == "delete"_L1)
                m_grid->DeleteRow(a);
            else if (verb == "insert"_L1)
                m_grid->InsertRow(a);
            else
                m_grid->RemoveAllRows();
        }
        QCOMPARE(m_log.join(u'|'), log);
        // The state and the numbers agree with what the events told.
        const bool editing = m_log.lastIndexOf(QRegularExpression(u"edit.*"_s)) > m_log.lastIndexOf(u"ended"_s);
        QCOMPARE(m_grid->isEditing(), editing);
        QCOMPARE(m_log.filter(u"current"_s).constLast(),
                 u"current %1,%2"_s.arg(m_grid->CurrentRow()).arg(m_grid->CurrentColumn()));
    }

    void hitTestMatchesCellRectangle()
    {
        QCOMPARE(m_grid->columnWidth(0), 146);
        QCOMPARE(m_grid->columnWidth(2), 79);
        for (const int scroll : {0, 3}) {
            m_grid->verticalScrollBar()->setValue(scroll);
            for (int row = scroll + 1; row <= scroll + 3; ++row) {
                for (int column = 1; column <= 3; ++column) {
                    QCOMPARE(m_grid->HitTest(centre(row, column)), std::make_pair(row, column));
                    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, centre(row, column));
                    QCOMPARE(m_grid->CurrentRow(), row);
                    QCOMPARE(m_grid->CurrentColumn(), column);
                }
            }
        }
        QCOMPARE(m_grid->CellRectangle(1, 4), QRect());

        // Below the last row: no cell, and a click there keeps the current one.
        m_model->setEntries({AddOnEntry{}, AddOnEntry{}});
        m_grid->setCurrentRow(2);
        const QPoint below = centre(2, 1) + QPoint(0, m_grid->CellRectangle(2, 1).height());
        QVERIFY(m_grid->viewport()->rect().contains(below));
        QCOMPARE(m_grid->HitTest(below), std::make_pair(0, 0));
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(m_grid->CurrentRow(), 2);
    }

    void rowOperations_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("names");

        QTest::addRow("insert before row 1") << "insert" << 1 << ",A,B,C";
        QTest::addRow("insert before row 3") << "insert" << 3 << "A,B,,C";
        QTest::addRow("insert after the last row") << "insert" << 4 << "A,B,C,";
        QTest::addRow("append") << "insert" << -1 << "A,B,C,";
        QTest::addRow("insert out of range") << "insert" << 5 << "A,B,C";
        QTest::addRow("delete row 1") << "delete" << 1 << "B,C";
        QTest::addRow("delete the last row") << "delete" << 3 << "A,B";
        QTest::addRow("delete row 0") << "delete" << 0 << "A,B,C";
        QTest::addRow("delete past the end") << "delete" << 4 << "A,B,C";
        QTest::addRow("write a cell") << "write" << 2 << "A,written,C";
        QTest::addRow("write past the end") << "write" << 4 << "A,B,C";
    }

    void rowOperations()
    {
        QFETCH(QString, operation);
        QFETCH(int, row);
        QFETCH(QString, names);
        m_model->setEntries(
            {{u"A"_s, u"a"_s, u"(none)"_s}, {u"B"_s, u"b"_s, u"(none)"_s}, {u"C"_s, u"c"_s, u"(none)"_s}});

        if (operation == "insert"_L1)
            m_grid->InsertRow(row);
        else if (operation == "delete"_L1)
            m_grid->DeleteRow(row);
        else
            m_grid->setCellContent(row, 1, u"written"_s);

        QStringList shown;
        for (int r = 1; r <= m_grid->RowCount(); ++r) {
            shown << m_grid->CellContent(r, 1);
            const AddOnEntry &entry = m_model->at(r - 1);
            QCOMPARE(m_grid->CellContent(r, 2), entry.CommandLine);
            QCOMPARE(m_grid->CellContent(r, 3), entry.Parameters);
            QCOMPARE(entry.Name.isEmpty(), entry == AddOnEntry{}); // a new row is empty in every column
        }
        QCOMPARE(shown.join(u','), names);
        QCOMPARE(m_model->count(), m_grid->RowCount());
    }

    void pointerTooltipAndDrawing()
    {
        QSignalSpy moved(m_grid, &Grid::PointerMoved);
        QSignalSpy pressed(m_grid, &Grid::PointerButton);
        const QPoint pos = centre(2, 2);
        QTest::mouseMove(m_grid->viewport(), pos);
        QTRY_VERIFY(!moved.isEmpty());
        QCOMPARE(m_grid->HitTest(moved.last().at(2).toPoint()), std::make_pair(2, 2));
        QTest::mouseClick(m_grid->viewport(), Qt::RightButton, Qt::ShiftModifier, pos);
        QCOMPARE(pressed.size(), 1);
        QCOMPARE(pressed.at(0).at(0).value<Qt::MouseButtons>(), Qt::MouseButtons(Qt::RightButton));
        QCOMPARE(pressed.at(0).at(1).value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);

        // The page writes the hovered cell's text into the grid's tooltip; hovering must show exactly that.
        m_grid->setToolTip(m_grid->CellContent(2, 2));
        QHelpEvent hover(QEvent::ToolTip, pos, m_grid->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(m_grid->viewport(), &hover);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), u"C:\\T2.EXE"_s);
        QToolTip::hideText();

        for (const bool drawing : {false, true}) {
            m_grid->setDrawingEnabled(drawing);
            QCOMPARE(m_grid->viewport()->updatesEnabled(), drawing);
        }
        QVERIFY(!m_grid->accessibleName().isEmpty());
    }

private:
    QPoint centre(int row, int column) const
    {
        return m_grid->viewport()->mapFrom(m_page, m_grid->CellRectangle(row, column).center());
    }
    void sendMouse(QEvent::Type type, QPoint pos, Qt::MouseButtons held) const
    {
        QMouseEvent event(type, pos, m_grid->viewport()->mapToGlobal(pos),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(m_grid->viewport(), &event);
    }
    // Drags row `from` to just inside the top (or bottom) of row `to`, noting "line" when the drop place shows.
    void dragRow(int from, int to, bool bottom, bool escape)
    {
        const QPoint start = centre(from, 1);
        const QRect cell = m_grid->CellRectangle(to, 1);
        const QPoint end = m_grid->viewport()->mapFrom(m_page, QPoint(cell.center().x(), bottom ? cell.bottom() - 2
                                                                                               : cell.top() + 2));
        sendMouse(QEvent::MouseButtonPress, start, Qt::LeftButton);
        for (int step = 1; step <= 4; ++step)
            sendMouse(QEvent::MouseMove, start + (end - start) * step / 4, Qt::LeftButton);
        if (m_grid->viewport()->findChild<QWidget *>(u"dropMarker"_s)->isVisible())
            m_log << u"line"_s;
        if (escape)
            QTest::keyClick(m_grid, Qt::Key_Escape);
        sendMouse(QEvent::MouseButtonRelease, end, Qt::NoButton);
    }

    QWidget *m_page = nullptr;
    AddOnListModel *m_model = nullptr;
    Grid *m_grid = nullptr;
    QStringList m_log;
};

QTEST_MAIN(tst_Grid)
#include "tst_grid.moc"
