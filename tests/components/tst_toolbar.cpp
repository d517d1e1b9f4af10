#include "imagelist.h"
#include "toolbar.h"

#include <QAccessible>
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
};

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

QTEST_MAIN(tst_Toolbar)
#include "tst_toolbar.moc"
