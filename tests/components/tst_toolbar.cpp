#include "imagelist.h"
#include "toolbar.h"

#include <QAccessible>
#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

// A letter is a button with that tooltip, '|' a separator.
void fill(Toolbar &toolbar, const QString &pattern)
{
    for (const QChar c : pattern) {
        const bool gap = c == QLatin1Char('|');
        toolbar.addButton(gap ? QStringLiteral("space") : QString(c), gap ? -1 : 0, -1, 0, {},
                          gap ? Toolbar::SeparatorStyle : Toolbar::ButtonStyle);
    }
}

QString order(const Toolbar &toolbar)
{
    QString result;
    for (int i = 0; i < toolbar.buttonCount(); ++i)
        result += toolbar.isSeparator(i) ? QStringLiteral("|") : toolbar.buttonTooltip(i);
    return result;
}

QList<int> positions(const QSignalSpy &spy)
{
    QList<int> result;
    for (const QList<QVariant> &call : spy)
        result.append(call.at(0).toInt());
    return result;
}

void click(const Toolbar &toolbar, int position)
{
    QTest::mouseClick(toolbar.buttonWidget(position), Qt::LeftButton);
}

// Share of the widget's pixels in this colour, as drawn on screen.
double shareOf(QWidget *widget, QColor colour)
{
    const QImage image = widget->grab().toImage();
    int hits = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            hits += image.pixelColor(x, y).rgb() == colour.rgb();
    }
    return double(hits) / (image.width() * image.height());
}

// Every request and click the toolbar makes, as "signal arguments".
struct Requests
{
    explicit Requests(Toolbar &toolbar)
    {
        auto add = [this](const QString &text) { log.append(text); };
        QObject::connect(&toolbar, &Toolbar::buttonMoveRequested, &toolbar,
                         [add](int p, int step) { add(QStringLiteral("move %1 %2").arg(p).arg(step)); });
        QObject::connect(&toolbar, &Toolbar::buttonDeleteRequested, &toolbar,
                         [add](int p) { add(QStringLiteral("delete %1").arg(p)); });
        QObject::connect(&toolbar, &Toolbar::buttonEditRequested, &toolbar,
                         [add](int p) { add(QStringLiteral("edit %1").arg(p)); });
        QObject::connect(&toolbar, &Toolbar::buttonMenuRequested, &toolbar,
                         [add](int p) { add(QStringLiteral("menu %1").arg(p)); });
        QObject::connect(&toolbar, &Toolbar::buttonDropped, &toolbar,
                         [add](int from, int to) { add(QStringLiteral("drop %1 %2").arg(from).arg(to)); });
        QObject::connect(&toolbar, &Toolbar::buttonClicked, &toolbar,
                         [add](int p) { add(QStringLiteral("click %1").arg(p)); });
    }
    QString text() const { return log.join(u", "); }
    QStringList log;
};

// A mouse event as the window system delivers it to the widget that holds the pointer grab.
void sendMouse(QWidget *widget, QEvent::Type type, QPoint toolbarPos, Qt::MouseButtons held)
{
    const QPoint pos = widget->mapFrom(widget->parentWidget(), toolbarPos);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Presses on the item, moves in steps to the point (in toolbar coordinates) and, unless told not to, lets go.
void drag(Toolbar &toolbar, int from, QPoint to, bool release = true)
{
    QWidget *item = toolbar.buttonWidget(from);
    const QPoint start = toolbar.buttonRect(from).center();
    sendMouse(item, QEvent::MouseButtonPress, start, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step)
        sendMouse(item, QEvent::MouseMove, start + (to - start) * step / 4, Qt::LeftButton);
    if (release)
        sendMouse(item, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

// A point just inside the gap before the item at the position (after the last item for buttonCount()).
QPoint gapPoint(const Toolbar &toolbar, int gap)
{
    if (gap < toolbar.buttonCount())
        return toolbar.buttonRect(gap).topLeft() + QPoint(1, 4);
    return toolbar.buttonRect(gap - 1).topRight() + QPoint(-1, 4);
}

QPixmap filled(QColor colour, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(colour);
    return pixmap;
}

} // namespace

class tst_Toolbar final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clicksCountSeparators_data();
    void clicksCountSeparators();
    void insertAndRemove_data();
    void insertAndRemove();
    void buttonMayRemoveItselfWhenClicked();
    void picturesFollowTheList();
    void hotPictureUnderPointer();
    void accessibleNames_data();
    void accessibleNames();
    void keyRequests_data();
    void keyRequests();
    void arrowsMoveFocus_data();
    void arrowsMoveFocus();
    void focusStaysOnMovedButton();
    void dragDrops_data();
    void dragDrops();
    void dragCancelledByEscape();
    void disabledButtonDoesNothing();
    void marks_data();
    void marks();
};

namespace {

// What an owner does with the requests: change its list, which puts new widgets in place (as the preview does).
void actOnRequests(Toolbar &toolbar)
{
    auto move = [&toolbar](int from, int to) {
        const QString tooltip = toolbar.buttonTooltip(from);
        const int style = toolbar.buttonStyle(from);
        toolbar.removeButton(from);
        toolbar.addButton(tooltip, 0, to, 0, {}, style);
    };
    QObject::connect(&toolbar, &Toolbar::buttonMoveRequested, &toolbar,
                     [move](int position, int step) { move(position, position + step); });
    QObject::connect(&toolbar, &Toolbar::buttonDropped, &toolbar, move);
    QObject::connect(&toolbar, &Toolbar::buttonDeleteRequested, &toolbar,
                     [&toolbar](int position) { toolbar.removeButton(position); });
}

void showToolbar(Toolbar &toolbar, const QString &pattern)
{
    fill(toolbar, pattern);
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));
    toolbar.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&toolbar));
}

} // namespace

void tst_Toolbar::clicksCountSeparators_data()
{
    QTest::addColumn<QString>("pattern");

    QTest::addRow("default preview toolbar") << "NLS|PV|RX";
    QTest::addRow("separator first, two together") << "|a||b";
}

void tst_Toolbar::clicksCountSeparators()
{
    QFETCH(QString, pattern);

    Toolbar toolbar;
    fill(toolbar, pattern);
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));
    QSignalSpy clicked(&toolbar, &Toolbar::buttonClicked);

    QList<int> buttons;
    for (int i = 0; i < toolbar.buttonCount(); ++i) {
        click(toolbar, i);
        if (pattern.at(i) != QLatin1Char('|'))
            buttons.append(i);
    }
    QCOMPARE(positions(clicked), buttons);

    clicked.clear();
    QWidget *last = toolbar.buttonWidget(buttons.last());
    last->setFocus();
    QTest::keyClick(last, Qt::Key_Space);
    QCOMPARE(positions(clicked), QList<int>{buttons.last()});
}

void tst_Toolbar::insertAndRemove_data()
{
    QTest::addColumn<int>("insertBefore");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("expected");

    QTest::addRow("insert at the front") << 0 << -1 << "nab|c";
    QTest::addRow("insert before a separator") << 2 << -1 << "abn|c";
    QTest::addRow("append with -1") << -1 << -1 << "ab|cn";
    QTest::addRow("past the end appends") << 9 << -1 << "ab|cn";
    QTest::addRow("remove the separator") << 0 << 3 << "nabc";
    QTest::addRow("remove a button") << 3 << 0 << "b|nc";
}

void tst_Toolbar::insertAndRemove()
{
    QFETCH(int, insertBefore);
    QFETCH(int, removed);
    QFETCH(QString, expected);

    Toolbar toolbar;
    fill(toolbar, QStringLiteral("ab|c"));
    toolbar.setButtonCommand(3, QStringLiteral("RUNADDON(c)"));
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));

    toolbar.addButton(QStringLiteral("n"), 0, insertBefore);
    toolbar.setButtonCommand(int(order(toolbar).indexOf(QLatin1Char('n'))), QStringLiteral("NEW"));
    toolbar.removeButton(removed);
    QCOMPARE(order(toolbar), expected);

    // Commands travel with their buttons, and clicks report where the buttons are now.
    QSignalSpy clicked(&toolbar, &Toolbar::buttonClicked);
    for (const QChar name : {QLatin1Char('n'), QLatin1Char('c')}) {
        const int at = int(expected.indexOf(name));
        QCOMPARE(toolbar.buttonCommand(at), name == QLatin1Char('n') ? QStringLiteral("NEW") : QStringLiteral("RUNADDON(c)"));
        QTRY_VERIFY(toolbar.buttonWidget(at)->isVisible());
        click(toolbar, at);
        QCOMPARE(clicked.last().at(0).toInt(), at);
    }
}

void tst_Toolbar::buttonMayRemoveItselfWhenClicked()
{
    Toolbar toolbar;
    fill(toolbar, QStringLiteral("ab"));
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));
    connect(&toolbar, &Toolbar::buttonClicked, &toolbar, [&toolbar](int position) { toolbar.removeButton(position); });

    QPointer<QWidget> first = toolbar.buttonWidget(0);
    click(toolbar, 0);
    QCOMPARE(order(toolbar), QStringLiteral("b"));
    QTRY_VERIFY(first.isNull());
}

void tst_Toolbar::picturesFollowTheList()
{
    ImageList pictures(QSize(16, 16));
    pictures.addPixmap(filled(Qt::red, 16), QStringLiteral("0"));
    Toolbar toolbar;
    toolbar.setImageLists(&pictures);
    fill(toolbar, QStringLiteral("ab"));
    toolbar.setButtonPicture(1, 1);
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));
    QWidget *b = toolbar.buttonWidget(1);
    const QSize emptySize = b->size();

    pictures.addPixmap(filled(Qt::blue, 16), QStringLiteral("1"));
    QVERIFY(shareOf(b, Qt::blue) > 0.2);
    QVERIFY(shareOf(toolbar.buttonWidget(0), Qt::red) > 0.2);
    pictures.removeFrom(1);
    QCOMPARE(shareOf(b, Qt::blue), 0.0);
    // A button whose picture is missing keeps its place and size.
    QTRY_COMPARE(b->size(), emptySize);
    QCOMPARE(b->size(), toolbar.buttonWidget(0)->size());
}

void tst_Toolbar::hotPictureUnderPointer()
{
    ImageList normal(QSize(19, 19));
    ImageList hot(QSize(19, 19));
    normal.addPixmap(filled(Qt::red, 19), QStringLiteral("reload"));
    hot.addPixmap(filled(Qt::green, 19), QStringLiteral("reload"));
    QWidget window;
    auto *toolbar = new Toolbar(&window);
    toolbar->setPictureSize(19);
    toolbar->setImageLists(&normal, &hot);
    toolbar->addButton({}, 0, -1, 0, QStringLiteral("Reload INI"), Toolbar::AutoSizeStyle);
    toolbar->addButton({}, 0, -1, 0, QStringLiteral("Exit"), Toolbar::AutoSizeStyle);
    window.resize(300, 60);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Over the button and off again: where the pointer rests at start-up is not ours to choose.
    QWidget *reload = toolbar->buttonWidget(0);
    QTest::mouseMove(reload, reload->rect().center());
    QTest::mouseMove(&window, QPoint(295, 55));
    QTRY_VERIFY(!reload->underMouse());
    QVERIFY(shareOf(reload, Qt::red) > 0.05);
    QCOMPARE(shareOf(reload, Qt::green), 0.0);

    QTest::mouseMove(reload, reload->rect().center());
    QTRY_VERIFY(shareOf(reload, Qt::green) > 0.05);
    QCOMPARE(shareOf(reload, Qt::red), 0.0);
    QCOMPARE(shareOf(toolbar->buttonWidget(1), Qt::green), 0.0);
}

void tst_Toolbar::accessibleNames_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("editedTooltip");
    QTest::addColumn<QString>("expected");

    QTest::addRow("command button: its caption") << "Save INI" << "" << "" << "Save INI";
    QTest::addRow("caption wins over tooltip") << "Exit" << "Leave" << "Quit" << "Exit";
    QTest::addRow("preview button: its edited tooltip") << "" << "New Button" << "Run Notes" << "Run Notes";
}

void tst_Toolbar::accessibleNames()
{
    QFETCH(QString, caption);
    QFETCH(QString, tooltip);
    QFETCH(QString, editedTooltip);
    QFETCH(QString, expected);

    Toolbar toolbar;
    toolbar.addButton(tooltip, 0, -1, 0, caption, caption.isEmpty() ? Toolbar::ButtonStyle : Toolbar::AutoSizeStyle);
    if (!editedTooltip.isEmpty())
        toolbar.setButtonTooltip(0, editedTooltip);

    QWidget *button = toolbar.buttonWidget(0);
    QCOMPARE(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name), expected);
    QCOMPARE(button->toolTip(), editedTooltip.isEmpty() ? tooltip : editedTooltip);
}

void tst_Toolbar::keyRequests_data()
{
    QTest::addColumn<bool>("editable");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("focused");
    QTest::addColumn<QString>("expected");

    const Qt::KeyboardModifiers none;
    QTest::addRow("Ctrl+Left") << true << int(Qt::Key_Left) << Qt::KeyboardModifiers(Qt::ControlModifier) << 3
                               << "move 3 -1";
    QTest::addRow("Ctrl+Right") << true << int(Qt::Key_Right) << Qt::KeyboardModifiers(Qt::ControlModifier) << 3
                                << "move 3 1";
    QTest::addRow("Ctrl+Left at the front") << true << int(Qt::Key_Left)
                                            << Qt::KeyboardModifiers(Qt::ControlModifier) << 0 << "";
    QTest::addRow("Ctrl+Right at the end") << true << int(Qt::Key_Right)
                                           << Qt::KeyboardModifiers(Qt::ControlModifier) << 4 << "";
    QTest::addRow("Delete") << true << int(Qt::Key_Delete) << none << 1 << "delete 1";
    QTest::addRow("Return") << true << int(Qt::Key_Return) << none << 1 << "edit 1";
    QTest::addRow("keypad Enter") << true << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 1
                                  << "edit 1";
    QTest::addRow("F2") << true << int(Qt::Key_F2) << none << 4 << "edit 4";
    QTest::addRow("Menu key") << true << int(Qt::Key_Menu) << none << 1 << "menu 1";
    QTest::addRow("Shift+F10") << true << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 1
                               << "menu 1";
    QTest::addRow("Space clicks") << true << int(Qt::Key_Space) << none << 1 << "click 1";
    QTest::addRow("command toolbar: Delete") << false << int(Qt::Key_Delete) << none << 1 << "";
    QTest::addRow("command toolbar: Ctrl+Right") << false << int(Qt::Key_Right)
                                                 << Qt::KeyboardModifiers(Qt::ControlModifier) << 1 << "";
}

void tst_Toolbar::keyRequests()
{
    QFETCH(bool, editable);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, focused);
    QFETCH(QString, expected);

    Toolbar toolbar;
    toolbar.setEditable(editable);
    showToolbar(toolbar, QStringLiteral("ab|cd"));
    Requests requests(toolbar);
    toolbar.focusButton(focused);
    QCOMPARE(toolbar.focusedButton(), focused);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    QCOMPARE(requests.text(), expected);
    // Nothing moves by itself: the owner decides.
    QCOMPARE(order(toolbar), QStringLiteral("ab|cd"));
}

void tst_Toolbar::arrowsMoveFocus_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("expected");

    // "ab|c|d" with c disabled: the arrows land on a, b and d only.
    QTest::addRow("Right over a separator and a disabled button") << 1 << QList<int>{Qt::Key_Right} << 5;
    QTest::addRow("Left back over them") << 5 << QList<int>{Qt::Key_Left} << 1;
    QTest::addRow("Right stops at the end") << 1 << QList<int>{Qt::Key_Right, Qt::Key_Right} << 5;
    QTest::addRow("Left stops at the front") << 1 << QList<int>{Qt::Key_Left, Qt::Key_Left} << 0;
    QTest::addRow("Home") << 5 << QList<int>{Qt::Key_Home} << 0;
    QTest::addRow("End") << 0 << QList<int>{Qt::Key_End} << 5;
}

void tst_Toolbar::arrowsMoveFocus()
{
    QFETCH(int, start);
    QFETCH(QList<int>, keys);
    QFETCH(int, expected);

    // Also on a command toolbar, which is not editable.
    Toolbar toolbar;
    showToolbar(toolbar, QStringLiteral("ab|c|d"));
    toolbar.setButtonEnabled(3, false);
    Requests requests(toolbar);
    toolbar.focusButton(start);
    for (const int key : keys)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCOMPARE(toolbar.focusedButton(), expected);
    QCOMPARE(requests.text(), QString());
}

void tst_Toolbar::focusStaysOnMovedButton()
{
    Toolbar toolbar;
    toolbar.setEditable(true);
    showToolbar(toolbar, QStringLiteral("ab|c"));
    actOnRequests(toolbar);

    toolbar.focusButton(0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(order(toolbar), QStringLiteral("b|ac"));
    QCOMPARE(toolbar.focusedButton(), 2);

    // After a delete the neighbour takes the focus, past a separator if need be.
    toolbar.focusButton(0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QCOMPARE(order(toolbar), QStringLiteral("|ac"));
    QCOMPARE(toolbar.focusedButton(), 1);
    toolbar.focusButton(2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QCOMPARE(order(toolbar), QStringLiteral("|a"));
    QCOMPARE(toolbar.focusedButton(), 1);
}

void tst_Toolbar::dragDrops_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("gap"); // where it is let go: before the item at this position; -1 below the toolbar
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("order");

    QTest::addRow("right past a separator") << 0 << 3 << "drop 0 2" << "b|acd";
    QTest::addRow("right to the end") << 1 << 5 << "drop 1 4" << "a|cdb";
    QTest::addRow("left to the front") << 4 << 0 << "drop 4 0" << "dab|c";
    QTest::addRow("a separator, left") << 2 << 1 << "drop 2 1" << "a|bcd";
    QTest::addRow("a separator, right") << 2 << 4 << "drop 2 3" << "abc|d";
    QTest::addRow("back on its own place") << 1 << 2 << "" << "ab|cd";
    QTest::addRow("let go outside") << 0 << -1 << "" << "ab|cd";
}

void tst_Toolbar::dragDrops()
{
    QFETCH(int, from);
    QFETCH(int, gap);
    QFETCH(QString, expected);
    QFETCH(QString, order);

    Toolbar toolbar;
    toolbar.setEditable(true);
    showToolbar(toolbar, QStringLiteral("ab|cd"));
    Requests requests(toolbar);
    actOnRequests(toolbar);
    const QWidget *marker = toolbar.findChild<QWidget *>(QStringLiteral("dropMarker"));
    QVERIFY(marker);

    const QPoint target = gap < 0 ? QPoint(toolbar.width() / 2, toolbar.height() + 30) : gapPoint(toolbar, gap);
    drag(toolbar, from, target, false);
    // The marker shows where a drop will land, and nothing shows where it would change nothing.
    QCOMPARE(marker->isVisible(), !expected.isEmpty());
    if (!expected.isEmpty())
        QVERIFY(qAbs(marker->geometry().center().x() - target.x()) <= 2);
    sendMouse(toolbar.buttonWidget(from), QEvent::MouseButtonRelease, target, Qt::NoButton);

    // A drag is no click.
    QCOMPARE(requests.text(), expected);
    QCOMPARE(::order(toolbar), order);
    QVERIFY(!marker->isVisible());

    // A press and release within the drag distance is a click as before.
    requests.log.clear();
    const QPoint centre = toolbar.buttonRect(0).center();
    sendMouse(toolbar.buttonWidget(0), QEvent::MouseButtonPress, centre, Qt::LeftButton);
    sendMouse(toolbar.buttonWidget(0), QEvent::MouseMove, centre + QPoint(1, 0), Qt::LeftButton);
    sendMouse(toolbar.buttonWidget(0), QEvent::MouseButtonRelease, centre + QPoint(1, 0), Qt::NoButton);
    QCOMPARE(requests.text(), QStringLiteral("click 0"));
}

void tst_Toolbar::dragCancelledByEscape()
{
    Toolbar toolbar;
    toolbar.setEditable(true);
    showToolbar(toolbar, QStringLiteral("ab|cd"));
    Requests requests(toolbar);
    const QWidget *marker = toolbar.findChild<QWidget *>(QStringLiteral("dropMarker"));

    drag(toolbar, 0, gapPoint(toolbar, 4), false);
    QVERIFY(marker->isVisible());
    // Escape cancels wherever the keyboard focus is.
    QTest::keyClick(toolbar.buttonWidget(3), Qt::Key_Escape);
    QVERIFY(!marker->isVisible());
    // Moving on and letting go over the button itself neither drops nor clicks.
    QWidget *first = toolbar.buttonWidget(0);
    sendMouse(first, QEvent::MouseMove, gapPoint(toolbar, 3), Qt::LeftButton);
    sendMouse(first, QEvent::MouseMove, toolbar.buttonRect(0).center(), Qt::LeftButton);
    sendMouse(first, QEvent::MouseButtonRelease, toolbar.buttonRect(0).center(), Qt::NoButton);
    QCOMPARE(requests.text(), QString());
    QVERIFY(!marker->isVisible());
}

void tst_Toolbar::disabledButtonDoesNothing()
{
    Toolbar toolbar;
    toolbar.setEditable(true);
    showToolbar(toolbar, QStringLiteral("abc"));
    Requests requests(toolbar);
    toolbar.setButtonEnabled(1, false);
    QVERIFY(!toolbar.isButtonEnabled(1));
    QVERIFY(!toolbar.buttonWidget(1)->isEnabled());

    click(toolbar, 1);
    drag(toolbar, 1, gapPoint(toolbar, 3));
    toolbar.focusButton(1);
    QVERIFY(toolbar.focusedButton() != 1);
    QCOMPARE(requests.text(), QString());

    toolbar.setButtonEnabled(1, true);
    click(toolbar, 1);
    QCOMPARE(requests.text(), QStringLiteral("click 1"));
}

void tst_Toolbar::marks_data()
{
    QTest::addColumn<int>("pictureSize");

    QTest::addRow("16 pixel pictures") << 16;
    QTest::addRow("32 pixel pictures") << 32;
}

void tst_Toolbar::marks()
{
    QFETCH(int, pictureSize);

    ImageList pictures(QSize(pictureSize, pictureSize));
    pictures.addPixmap(filled(Qt::blue, pictureSize), QStringLiteral("0"));
    Toolbar toolbar;
    toolbar.setPictureSize(pictureSize);
    toolbar.setImageLists(&pictures);
    showToolbar(toolbar, QStringLiteral("ab"));
    QWidget *b = toolbar.buttonWidget(1);
    const QImage plain = b->grab().toImage();
    const QString reason = QStringLiteral("No add-on is named \"Foo\".");

    toolbar.setButtonMark(1, reason);
    QCOMPARE(b->toolTip(), QStringLiteral("b\n") + reason);
    QCOMPARE(QAccessible::queryAccessibleInterface(b)->text(QAccessible::Description), reason);
    // The sign covers a corner of the picture, not all of it.
    const QImage marked = b->grab().toImage();
    QVERIFY(marked != plain);
    QVERIFY(shareOf(b, Qt::blue) > 0.1);

    // The mark stays with its button as others come and go, and its tooltip follows edits.
    toolbar.addButton(QStringLiteral("n"), 0, 0);
    toolbar.removeButton(1);
    QCOMPARE(order(toolbar), QStringLiteral("nb"));
    QCOMPARE(toolbar.buttonMark(1), reason);
    QCOMPARE(toolbar.buttonMark(0), QString());
    toolbar.setButtonTooltip(1, QStringLiteral("Run Foo"));
    QCOMPARE(b->toolTip(), QStringLiteral("Run Foo\n") + reason);

    toolbar.setButtonMark(1, QString());
    QCOMPARE(b->toolTip(), QStringLiteral("Run Foo"));
    QCOMPARE(b->accessibleDescription(), QString());
    QCOMPARE(b->grab().toImage(), plain);
}

QTEST_MAIN(tst_Toolbar)
#include "tst_toolbar.moc"
