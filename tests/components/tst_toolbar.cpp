#include "imagelist.h"
#include "toolbar.h"

#include <QAccessible>
#include <QApplication>
#include <QMouseEvent>
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

void showToolbar(Toolbar &toolbar, const QString &pattern)
{
    fill(toolbar, pattern);
    toolbar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&toolbar));
    toolbar.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&toolbar));
}

void click(const Toolbar &toolbar, int position)
{
    QTest::mouseClick(toolbar.buttonWidget(position), Qt::LeftButton);
}

// Keys as a key sequence writes them ("Ctrl+Left", "Num+Enter"), to the focused widget.
void pressKeys(const QString &keys)
{
    const QKeyCombination key = QKeySequence::fromString(keys)[0];
    QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
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

QPixmap filled(QColor colour, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(colour);
    return pixmap;
}

// Every request and click the toolbar makes, as "signal arguments".
struct Requests
{
    explicit Requests(Toolbar &toolbar)
    {
        note(toolbar, &Toolbar::buttonMoveRequested, "move");
        note(toolbar, &Toolbar::buttonDeleteRequested, "delete");
        note(toolbar, &Toolbar::buttonEditRequested, "edit");
        note(toolbar, &Toolbar::buttonMenuRequested, "menu");
        note(toolbar, &Toolbar::buttonDropped, "drop");
        note(toolbar, &Toolbar::buttonClicked, "click");
    }
    template<typename... Args>
    void note(Toolbar &toolbar, void (Toolbar::*signal)(Args...), const char *what)
    {
        QObject::connect(&toolbar, signal, &toolbar, [this, what](Args... args) {
            log.append((QStringList{QLatin1String(what)} << ... << QString::number(args)).join(u' '));
        });
    }
    QString text() const { return log.join(u", "); }
    QStringList log;
};

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

} // namespace

class tst_Toolbar final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Separators first, in the middle and two together: positions count them all the same.
    void clicksCountSeparators()
    {
        Toolbar toolbar;
        showToolbar(toolbar, QStringLiteral("|ab||c"));
        Requests requests(toolbar);
        for (int i = 0; i < toolbar.buttonCount(); ++i)
            click(toolbar, i);
        toolbar.focusButton(5);
        pressKeys(QStringLiteral("Space"));
        QCOMPARE(requests.text(), QStringLiteral("click 1, click 2, click 5, click 5")); // the last by Space
    }

    void insertAndRemove_data()
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

    void insertAndRemove()
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
        Requests requests(toolbar);
        for (const QChar name : QStringLiteral("nc")) {
            const int at = int(expected.indexOf(name));
            QCOMPARE(toolbar.buttonCommand(at), name == u'n' ? QStringLiteral("NEW") : QStringLiteral("RUNADDON(c)"));
            QTRY_VERIFY(toolbar.buttonWidget(at)->isVisible());
            click(toolbar, at);
            QCOMPARE(requests.log.last(), QStringLiteral("click %1").arg(at));
        }
    }

    void buttonMayRemoveItselfWhenClicked()
    {
        Toolbar toolbar;
        showToolbar(toolbar, QStringLiteral("ab"));
        connect(&toolbar, &Toolbar::buttonClicked, &toolbar, [&toolbar](int at) { toolbar.removeButton(at); });
        QPointer<QWidget> first = toolbar.buttonWidget(0);
        click(toolbar, 0);
        QCOMPARE(order(toolbar), QStringLiteral("b"));
        QTRY_VERIFY(first.isNull());
    }

    void picturesFollowTheList()
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

    void hotPictureUnderPointer()
    {
        ImageList normal(QSize(19, 19)), hot(QSize(19, 19));
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

    void accessibleNames_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QString>("editedTooltip");
        QTest::addColumn<QString>("expected");
        QTest::addRow("command button: its caption") << "Save INI" << "" << "" << "Save INI";
        QTest::addRow("caption wins over tooltip") << "Exit" << "Leave" << "Quit" << "Exit";
        QTest::addRow("preview button: its edited tooltip") << "" << "New Button" << "Run Notes" << "Run Notes";
    }

    void accessibleNames()
    {
        QFETCH(QString, caption);
        QFETCH(QString, tooltip);
        QFETCH(QString, editedTooltip);
        Toolbar toolbar;
        toolbar.addButton(tooltip, 0, -1, 0, caption,
                          caption.isEmpty() ? Toolbar::ButtonStyle : Toolbar::AutoSizeStyle);
        if (!editedTooltip.isEmpty())
            toolbar.setButtonTooltip(0, editedTooltip);
        QWidget *button = toolbar.buttonWidget(0);
        QTEST(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name), "expected");
        QCOMPARE(button->toolTip(), editedTooltip.isEmpty() ? tooltip : editedTooltip);
    }

    void keyRequests_data()
    {
        QTest::addColumn<bool>("editable");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("focused");
        QTest::addColumn<QString>("expected");
        QTest::addRow("Ctrl+Left") << true << "Ctrl+Left" << 3 << "move 3 -1";
        QTest::addRow("Ctrl+Right") << true << "Ctrl+Right" << 3 << "move 3 1";
        QTest::addRow("Ctrl+Left at the front") << true << "Ctrl+Left" << 0 << "";
        QTest::addRow("Ctrl+Right at the end") << true << "Ctrl+Right" << 4 << "";
        QTest::addRow("Delete") << true << "Del" << 1 << "delete 1";
        QTest::addRow("Return") << true << "Return" << 1 << "edit 1";
        QTest::addRow("keypad Enter") << true << "Num+Enter" << 1 << "edit 1";
        QTest::addRow("F2") << true << "F2" << 4 << "edit 4";
        QTest::addRow("Menu key") << true << "Menu" << 1 << "menu 1";
        QTest::addRow("Shift+F10") << true << "Shift+F10" << 1 << "menu 1";
        QTest::addRow("Space clicks") << true << "Space" << 1 << "click 1";
        QTest::addRow("command toolbar: Delete") << false << "Del" << 1 << "";
        QTest::addRow("command toolbar: Ctrl+Right") << false << "Ctrl+Right" << 1 << "";
    }

    void keyRequests()
    {
        QFETCH(bool, editable);
        QFETCH(QString, keys);
        QFETCH(int, focused);
        Toolbar toolbar;
        toolbar.setEditable(editable);
        showToolbar(toolbar, QStringLiteral("ab|cd"));
        Requests requests(toolbar);
        toolbar.focusButton(focused);
        QCOMPARE(toolbar.focusedButton(), focused);
        pressKeys(keys);
        QTEST(requests.text(), "expected");
        QCOMPARE(order(toolbar), QStringLiteral("ab|cd")); // nothing moves by itself: the owner decides
    }

    void arrowsMoveFocus_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("expected");
        // "ab|c|d" with c disabled: the arrows land on a, b and d only.
        QTest::addRow("Right over a separator and a disabled button") << 1 << "Right" << 5;
        QTest::addRow("Left back over them") << 5 << "Left" << 1;
        QTest::addRow("Right stops at the end") << 1 << "Right Right" << 5;
        QTest::addRow("Left stops at the front") << 1 << "Left Left" << 0;
        QTest::addRow("Home") << 5 << "Home" << 0;
        QTest::addRow("End") << 0 << "End" << 5;
    }

    // Also on a command toolbar, which is not editable.
    void arrowsMoveFocus()
    {
        QFETCH(int, start);
        QFETCH(QString, keys);
        Toolbar toolbar;
        showToolbar(toolbar, QStringLiteral("ab|c|d"));
        toolbar.setButtonEnabled(3, false);
        Requests requests(toolbar);
        toolbar.focusButton(start);
        for (const QString &key : keys.split(u' '))
            pressKeys(key);
        QTEST(toolbar.focusedButton(), "expected");
        QCOMPARE(requests.text(), QString());
    }

    void focusStaysOnMovedButton()
    {
        Toolbar toolbar;
        toolbar.setEditable(true);
        showToolbar(toolbar, QStringLiteral("ab|c"));
        actOnRequests(toolbar);
        toolbar.focusButton(0);
        pressKeys(QStringLiteral("Ctrl+Right"));
        pressKeys(QStringLiteral("Ctrl+Right"));
        QCOMPARE(order(toolbar), QStringLiteral("b|ac"));
        QCOMPARE(toolbar.focusedButton(), 2);

        // After a delete the neighbour takes the focus, past a separator if need be.
        toolbar.focusButton(0);
        pressKeys(QStringLiteral("Del"));
        QCOMPARE(order(toolbar), QStringLiteral("|ac"));
        QCOMPARE(toolbar.focusedButton(), 1);
        toolbar.focusButton(2);
        pressKeys(QStringLiteral("Del"));
        QCOMPARE(order(toolbar), QStringLiteral("|a"));
        QCOMPARE(toolbar.focusedButton(), 1);
    }

    void dragDrops_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("gap"); // let go before the item at this position; -1 below the toolbar
        QTest::addColumn<bool>("escape"); // pressed on the way; then the pointer goes back to let go on the item
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("order");
        QTest::addRow("right past a separator") << 0 << 3 << false << "drop 0 2" << "b|acd";
        QTest::addRow("right to the end") << 1 << 5 << false << "drop 1 4" << "a|cdb";
        QTest::addRow("left to the front") << 4 << 0 << false << "drop 4 0" << "dab|c";
        QTest::addRow("a separator, left") << 2 << 1 << false << "drop 2 1" << "a|bcd";
        QTest::addRow("a separator, right") << 2 << 4 << false << "drop 2 3" << "abc|d";
        QTest::addRow("back on its own place") << 1 << 2 << false << "" << "ab|cd";
        QTest::addRow("let go outside") << 0 << -1 << false << "" << "ab|cd";
        QTest::addRow("Escape cancels: no drop, no click") << 0 << 4 << true << "" << "ab|cd";
    }

    void dragDrops()
    {
        QFETCH(int, from);
        QFETCH(int, gap);
        QFETCH(bool, escape);
        QFETCH(QString, expected);
        Toolbar toolbar;
        toolbar.setEditable(true);
        showToolbar(toolbar, QStringLiteral("ab|cd"));
        Requests requests(toolbar);
        actOnRequests(toolbar);
        const QWidget *marker = toolbar.findChild<QWidget *>(QStringLiteral("dropMarker"));
        QVERIFY(marker);

        QPoint target = gap < 0 ? QPoint(toolbar.width() / 2, toolbar.height() + 30) : gapPoint(toolbar, gap);
        drag(toolbar, from, target, false);
        // The marker shows where a drop will land, and nothing shows where it would change nothing.
        QCOMPARE(marker->isVisible(), !expected.isEmpty() || escape);
        if (marker->isVisible())
            QVERIFY(qAbs(marker->geometry().center().x() - target.x()) <= 2);
        QWidget *item = toolbar.buttonWidget(from);
        if (escape) {
            QTest::keyClick(toolbar.buttonWidget(3), Qt::Key_Escape); // wherever the keyboard focus is
            QVERIFY(!marker->isVisible());
            sendMouse(item, QEvent::MouseMove, gapPoint(toolbar, 3), Qt::LeftButton);
            target = toolbar.buttonRect(from).center();
            sendMouse(item, QEvent::MouseMove, target, Qt::LeftButton);
        }
        sendMouse(item, QEvent::MouseButtonRelease, target, Qt::NoButton);
        QCOMPARE(requests.text(), expected); // a drag is no click
        QTEST(order(toolbar), "order");
        QVERIFY(!marker->isVisible());

        // A press and release within the drag distance is a click as before.
        requests.log.clear();
        drag(toolbar, 0, toolbar.buttonRect(0).center() + QPoint(1, 0));
        QCOMPARE(requests.text(), QStringLiteral("click 0"));
    }

    void disabledButtonDoesNothing()
    {
        Toolbar toolbar;
        toolbar.setEditable(true);
        showToolbar(toolbar, QStringLiteral("abc"));
        Requests requests(toolbar);
        toolbar.setButtonEnabled(1, false);
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

    void marks_data()
    {
        QTest::addColumn<int>("pictureSize");
        QTest::addRow("16 pixel pictures") << 16;
        QTest::addRow("32 pixel pictures") << 32;
    }

    void marks()
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
        QVERIFY(b->grab().toImage() != plain);
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
};

QTEST_MAIN(tst_Toolbar)
#include "tst_toolbar.moc"
