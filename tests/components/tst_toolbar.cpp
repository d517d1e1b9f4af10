#include "toolbar.h"
#include "uitest.h"

#include <QAccessible>

using namespace Qt::StringLiterals;

// A toolbar "ab|c|d" with c disabled, every request and click it makes noted as "signal arguments".
class tst_Toolbar final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_log.clear();
        m_toolbar = std::make_unique<Toolbar>();
        m_toolbar->setEditable(true);
        fill(*m_toolbar, u"ab|c|d"_s);
        m_toolbar->setButtonEnabled(3, false);
        m_toolbar->show();
        QVERIFY(QTest::qWaitForWindowActive(m_toolbar.get()));
        note(&Toolbar::buttonMoveRequested, "move");
        note(&Toolbar::buttonDeleteRequested, "delete");
        note(&Toolbar::buttonEditRequested, "edit");
        note(&Toolbar::buttonMenuRequested, "menu");
        note(&Toolbar::buttonDropped, "drop");
        note(&Toolbar::buttonClicked, "click");
    }

    // Nothing answers the requests here: the keyboard stays on a button the owner left in place.
    void keys_data()
    {
        QTest::addColumn<int>("focused");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("focusedAfter");
        QTest::addRow("Ctrl+Left") << 1 << u"Ctrl+Left"_s << u"move 1 -1"_s << 1;
        QTest::addRow("F2") << 1 << u"F2"_s << u"edit 1"_s << 1;
        QTest::addRow("Menu key") << 1 << u"Menu"_s << u"menu 1"_s << 1;
        QTest::addRow("Space clicks") << 5 << u"Space"_s << u"click 5"_s << 5;
        QTest::addRow("Right over a separator and a disabled button") << 1 << u"Right"_s << QString() << 5;
        QTest::addRow("Left back over them") << 5 << u"Left"_s << QString() << 1;
        QTest::addRow("Right stops at the end") << 5 << u"Right"_s << QString() << 5;
    }

    void keys()
    {
        QFETCH(int, focused);
        QFETCH(QString, key);
        m_toolbar->focusButton(focused);
        press(key);
        QTEST(m_log.join(u", "), "expected");
        QTEST(m_toolbar->focusedButton(), "focusedAfter");
    }

    void drag_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("gap"); // let go before the item at this position; -1 below the toolbar
        QTest::addColumn<bool>("escape"); // pressed on the way; then the pointer goes back to let go on the item
        QTest::addColumn<QString>("expected");
        QTest::addRow("right past a separator") << 0 << 3 << false << "drop 0 2";
        QTest::addRow("right to the end") << 1 << 6 << false << "drop 1 5";
        QTest::addRow("left to the front") << 5 << 0 << false << "drop 5 0";
        QTest::addRow("a separator, right") << 2 << 4 << false << "drop 2 3";
        QTest::addRow("back on its own place") << 1 << 2 << false << "";
        QTest::addRow("let go outside") << 0 << -1 << false << "";
        QTest::addRow("a disabled button stays") << 3 << 0 << false << "";
        QTest::addRow("Escape cancels: no drop, no click") << 0 << 4 << true << "";
    }

    void drag()
    {
        QFETCH(int, from);
        QFETCH(int, gap);
        QFETCH(bool, escape);
        QFETCH(QString, expected);
        const QWidget *marker = m_toolbar->findChild<QWidget *>(u"dropMarker"_s);
        QPoint target = gap < 0 ? QPoint(m_toolbar->width() / 2, m_toolbar->height() + 30) : gapPoint(gap);
        QWidget *item = m_toolbar->buttonWidget(from);
        dragTo(item, target);
        // The marker shows where a drop will land, and nothing shows where it would change nothing.
        QCOMPARE(marker->isVisible(), !expected.isEmpty() || escape);
        if (marker->isVisible())
            QVERIFY(qAbs(marker->geometry().center().x() - target.x()) <= 2);
        if (escape) {
            QTest::keyClick(m_toolbar->buttonWidget(5), Qt::Key_Escape); // wherever the keyboard focus is
            QVERIFY(!marker->isVisible());
            mouse(item, QEvent::MouseMove, gapPoint(3));
            QVERIFY(!marker->isVisible());
            target = m_toolbar->buttonRect(from).center();
        }
        mouse(item, QEvent::MouseButtonRelease, target);
        QCOMPARE(m_log.join(u", "), expected); // a drag is no click
        QVERIFY(!marker->isVisible());

        // A press and release within the drag distance is a click as before.
        m_log.clear();
        dragTo(m_toolbar->buttonWidget(1), m_toolbar->buttonRect(1).center() + QPoint(1, 0));
        mouse(m_toolbar->buttonWidget(1), QEvent::MouseButtonRelease, m_toolbar->buttonRect(1).center());
        QCOMPARE(m_log.join(u", "), u"click 1"_s);
    }

    void marks()
    {
        QWidget *b = m_toolbar->buttonWidget(1);
        const QImage plain = b->grab().toImage();
        const QString reason = u"No add-on is named \"Foo\"."_s;
        m_toolbar->setButtonMark(1, reason);
        QCOMPARE(b->toolTip(), u"b\n"_s + reason);
        QCOMPARE(QAccessible::queryAccessibleInterface(b)->text(QAccessible::Description), reason);
        QVERIFY(b->grab().toImage() != plain);

        m_toolbar->setButtonMark(1, QString());
        QCOMPARE(b->toolTip(), u"b"_s);
        QCOMPARE(b->grab().toImage(), plain);
    }

private:
    // A letter is a button with that tooltip, '|' a separator.
    static void fill(Toolbar &toolbar, const QString &pattern)
    {
        for (const QChar c : pattern)
            toolbar.addButton(QString(c), 0, -1, 0, {}, c == u'|' ? Toolbar::SeparatorStyle : Toolbar::ButtonStyle);
    }
    template<typename... Args> void note(void (Toolbar::*signal)(Args...), const char *what)
    {
        connect(m_toolbar.get(), signal, this, [this, what](Args... args) {
            m_log.append((QStringList { QLatin1String(what) } << ... << QString::number(args)).join(u' '));
        });
    }
    // Points are in toolbar coordinates; the left button is held until the release.
    void mouse(QWidget *item, QEvent::Type type, QPoint at)
    {
        const bool held = type != QEvent::MouseButtonRelease;
        sendMouse(item, type, item->mapFrom(m_toolbar.get(), at), held ? Qt::LeftButton : Qt::NoButton);
    }
    void dragTo(QWidget *item, QPoint to)
    {
        const QPoint start = item->geometry().center();
        mouse(item, QEvent::MouseButtonPress, start);
        for (int step = 1; step <= 4; ++step)
            mouse(item, QEvent::MouseMove, start + (to - start) * step / 4);
    }
    // A point just inside the gap before the item at the position (after the last item for buttonCount()).
    QPoint gapPoint(int gap) const
    {
        if (gap < m_toolbar->buttonCount())
            return m_toolbar->buttonRect(gap).topLeft() + QPoint(1, 4);
        return m_toolbar->buttonRect(gap - 1).topRight() + QPoint(-1, 4);
    }

    std::unique_ptr<Toolbar> m_toolbar;
    QStringList m_log;
};

QTEST_MAIN(tst_Toolbar)
#include "tst_toolbar.moc"
