#include "imagelist.h"
#include "looktest.h"
#include "ownerdraw.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Stands in for a window: draws every button it is asked about with picture 0, except those it declines
// (left to the style), and records which it was asked about.
class Client final : public IOwnerDrawButton
{
public:
    QWidget *window = nullptr;
    const ImageList *images = nullptr;
    QString declined;
    QStringList asked;

    QWidget *ButtonContainerhWnd() const override { return window; }
    bool DoOwnerDraw(const QPushButton *) const override { return true; }
    void DrawItem(QPushButton *button, QPainter &painter, const QRect &rect, bool pushed, bool, bool enabled,
                  bool inFocus, bool &doDefault) override
    {
        asked.append(button->objectName());
        if (button->objectName() == declined)
            return;
        DrawButton(painter, button, rect, ButtonFace{images, 0, button->text()}, ButtonState{pushed, enabled, inFocus});
        doDefault = false;
    }
};

QPushButton *addButton(QWidget *parent, const QString &name)
{
    auto *b = new QPushButton(u"&Done Editing"_s, parent);
    b->setObjectName(name);
    b->setGeometry(4, 4, 120, 28);
    return b;
}

// Red with a green diagonal and a transparent corner: a picture no style draws.
QPixmap testPicture()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(QColor(200, 0, 0));
    for (int i = 0; i < 16; ++i)
        image.setPixelColor(i, i, QColor(0, 180, 0));
    image.setPixelColor(15, 0, Qt::transparent);
    return QPixmap::fromImage(image);
}

} // namespace

class tst_OwnerDraw final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_images.addPixmap(testPicture(), u"test"_s); }
    void cleanup() { QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

    // Buttons on the client's window and directly in an added container, also one added later; not those in
    // a container that was not added, nor inside a child of an added one.
    void servesDirectButtonsOfContainers()
    {
        QWidget window;
        auto *frame = new QWidget(&window);
        addButton(&window, u"cmdOnWindow"_s);
        addButton(frame, u"cmdInFrame"_s);
        addButton(new QWidget(frame), u"cmdNested"_s);
        addButton(new QWidget(&window), u"cmdElsewhere"_s);
        Client client;
        client.window = &window;
        OwnerDrawManager manager;
        manager.Attach(&client);
        manager.AddContainer(frame);
        addButton(frame, u"cmdLater"_s)->ensurePolished();

        for (QPushButton *button : window.findChildren<QPushButton *>())
            button->grab();
        client.asked.sort();
        client.asked.removeDuplicates();
        QCOMPARE(client.asked, (QStringList{u"cmdInFrame"_s, u"cmdLater"_s, u"cmdOnWindow"_s}));
    }

    // What the manager reports of a button reaches the drawing, and each state looks its own.
    void statesLookDifferent_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addRow("light palette") << false;
        QTest::addRow("dark palette") << true;
    }

    void statesLookDifferent()
    {
        QFETCH(bool, dark);

        QWidget window;
        if (dark)
            window.setPalette(darkPalette());
        QPushButton *b = addButton(&window, u"cmdCancel"_s);
        QPushButton *other = addButton(&window, u"cmdOther"_s);
        other->move(4, 40);
        Client client;
        client.window = &window;
        client.images = &m_images;
        OwnerDrawManager manager;
        manager.Attach(&client);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        other->setFocus();
        QList<QImage> looks{b->grab().toImage()};
        b->setDown(true);
        looks.append(b->grab().toImage());
        b->setDown(false);
        b->setEnabled(false);
        looks.append(b->grab().toImage());
        b->setEnabled(true);
        b->setFocus();
        QTRY_VERIFY(b->hasFocus());
        looks.append(b->grab().toImage());
        for (int i = 0; i < looks.size(); ++i) {
            for (int j = i + 1; j < looks.size(); ++j)
                QVERIFY2(looks[i] != looks[j], qPrintable(u"looks %1 and %2 are the same"_s.arg(i).arg(j)));
        }
    }

    void declinedAndDetachedKeepTheStyle()
    {
        QWidget window;
        QPushButton *declined = addButton(&window, u"cmdDeclined"_s);
        QPushButton *drawn = addButton(&window, u"cmdDrawn"_s);
        const QImage styleLook = drawn->grab().toImage();
        Client client;
        client.window = &window;
        client.declined = declined->objectName();
        OwnerDrawManager manager;
        manager.Attach(&client);
        QCOMPARE(declined->grab().toImage(), styleLook);
        QVERIFY(drawn->grab().toImage() != styleLook);

        manager.Detach();
        client.asked.clear();
        QCOMPARE(drawn->grab().toImage(), styleLook);
        QVERIFY(client.asked.isEmpty());
    }

    // In the button's own pixels: a 16x16 picture covers 32x32 pixels on a screen scaled to 200%.
    void picture_data()
    {
        QTest::addColumn<int>("picture");
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<bool>("shown");

        QTest::addRow("picture 0") << 0 << 1.0 << true;
        QTest::addRow("picture 0 at 200%%") << 0 << 2.0 << true;
        QTest::addRow("no picture") << kNoPicture << 1.0 << false;
        QTest::addRow("a picture the list lacks") << 3 << 1.0 << false;
    }

    void picture()
    {
        QFETCH(int, picture);
        QFETCH(qreal, scale);
        QFETCH(bool, shown);

        QWidget window;
        QPushButton *b = addButton(&window, u"cmdDone"_s);
        QImage image(b->size() * scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        DrawButton(painter, b, b->rect(), ButtonFace{&m_images, picture, b->text()}, ButtonState{});
        painter.end();
        QCOMPARE(containsPicture(image, testPicture().toImage().scaled(QSize(16, 16) * scale)), shown);
    }

private:
    ImageList m_images{QSize(16, 16)};
};

QTEST_MAIN(tst_OwnerDraw)
#include "tst_ownerdraw.moc"
