#include "frmabout.h"
#include "frmeditor.h"
#include "linkcolour.h"
#include "maillink.h"
#include "ownerdraw.h"
#include "shellcatcher.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

class tst_FrmAbout final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_shellReady = m_mail.install(); }
    void cleanupTestCase() { m_mail.uninstall(); }
    void init() { m_mail.clear(); }
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void linksReadWell_data()
    {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QColor>("link"); // the palette's own link colour
        QTest::addColumn<bool>("classicBlue");
        QTest::addRow("light palette") << QColor(240, 240, 240) << QColor(0, 0, 255) << true;
        QTest::addRow("dark palette, dark link colour") << QColor(0x20, 0x20, 0x20) << QColor(0, 0, 255) << false;
        QTest::addRow("dark palette, light link colour") << QColor(0x30, 0x30, 0x30) << QColor(0x8a, 0xb4, 0xf8) << false;
    }

    // The links of the main window and of the About box, as drawn on the palette's window colour.
    void linksReadWell()
    {
        QFETCH(QColor, window);
        QFETCH(QColor, link);
        QFETCH(bool, classicBlue);
        const QPalette before = QApplication::palette();
        QPalette palette = before;
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::WindowText, window.lightness() < 128 ? Qt::white : Qt::black);
        palette.setColor(QPalette::Link, link);
        QApplication::setPalette(palette);
        QList<QLabel *> links;
        {
            frmEditor editor;
            frmAbout about(&editor);
            links << editor.findChild<QLabel *>(u"Label5"_s) << about.findChildren<MailLink *>().constFirst();
            for (QLabel *label : std::as_const(links)) {
                // The colour of the text's own pixels: the one that stands out most from the window colour.
                const QImage drawn = label->grab().toImage();
                QColor text = window;
                for (int y = 0; y < drawn.height(); ++y) {
                    for (int x = 0; x < drawn.width(); ++x) {
                        const QColor pixel = drawn.pixelColor(x, y);
                        if (contrastRatio(pixel, window) > contrastRatio(text, window))
                            text = pixel;
                    }
                }
                QVERIFY2(contrastRatio(text, window) >= 4.5, qPrintable(label->objectName() + text.name()));
                if (classicBlue)
                    QCOMPARE(text, QColor(0, 0, 255));
            }
        }
        QApplication::setPalette(before);
    }

    void versionTexts_data()
    {
        QTest::addColumn<QList<int>>("version");
        QTest::addColumn<QString>("versionLine");
        QTest::addColumn<QString>("logoLine");

        QTest::addRow("zeros padded") << QList{0, 6, 0} << u"QTA Config Editor 0.06, build 0000"_s
                                      << u"Editor \u00DF0.06"_s;
        QTest::addRow("wide numbers are not cut") << QList{10, 123, 45678} << u"QTA Config Editor 10.123, build 45678"_s
                                                  << u"Editor \u00DF10.123"_s;
    }

    void versionTexts()
    {
        QFETCH(QList<int>, version);
        QFETCH(QString, versionLine);
        QFETCH(QString, logoLine);

        QCOMPARE(frmAbout::versionLine(version[0], version[1], version[2]), versionLine);
        QCOMPARE(frmAbout::logoLine(version[0], version[1]), logoLine);
    }

    void mailLink_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("opened");

        // Each link opens its own address; a press released off the link opens nothing.
        QTest::addRow("first link clicked") << u"lblMail(0)"_s << u"click"_s << true;
        QTest::addRow("second link clicked") << u"lblMail(1)"_s << u"click"_s << true;
        QTest::addRow("released outside") << u"lblMail(1)"_s << u"release outside"_s << false;
        QTest::addRow("right button") << u"lblMail(1)"_s << u"right"_s << false;
        QTest::addRow("Space") << u"lblMail(1)"_s << u"Space"_s << true;
        QTest::addRow("Enter") << u"lblMail(0)"_s << u"Enter"_s << true;
    }

    void mailLink()
    {
        QFETCH(QString, link);
        QFETCH(QString, action);
        QFETCH(bool, opened);
        if (!m_shellReady.isEmpty())
            QSKIP(qPrintable(m_shellReady));

        frmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        auto *label = about.findChild<QLabel *>(link);
        const auto colour = [label] { return label->palette().color(QPalette::WindowText); };
        QCOMPARE(colour(), QColor(0, 0, 255));
        if (action == u"Space" || action == u"Enter") {
            label->setFocus();
            QTest::keyClick(label, action == u"Space" ? Qt::Key_Space : Qt::Key_Return);
        } else if (action == u"right") {
            QTest::mouseClick(label, Qt::RightButton);
        } else {
            QTest::mousePress(label, Qt::LeftButton);
            QCOMPARE(colour(), QColor(255, 0, 0));
            QTest::mouseRelease(label, Qt::LeftButton, {},
                                action == u"click" ? label->rect().center() : QPoint(label->width() + 20, -10));
        }
        QCOMPARE(colour(), QColor(0, 0, 255));
        QCOMPARE(m_mail.caught(opened), opened ? QList{QUrl(u"mailto:"_s + label->text())} : QList<QUrl>());
        QVERIFY(about.isVisible());
    }

    // Enter and Escape close the box from its "&OK"; Tab reaches both links and comes back.
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addRow("Return") << int(Qt::Key_Return);
        QTest::addRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::addRow("Escape") << int(Qt::Key_Escape);
    }

    void keys()
    {
        QFETCH(int, key);

        frmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QStringList reached;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(reached, (QStringList{u"lblMail(1)"_s, u"lblMail(0)"_s, u"cmdOK"_s}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QTRY_VERIFY(!about.isVisible());
        QVERIFY(m_mail.caught(false).isEmpty());
    }

    void loadFillsTheBox()
    {
        // A dark desktop leaves the box white, with dark text.
        QWidget parent;
        parent.setPalette(QPalette(QColor(0x40, 0x40, 0x40), QColor(0x30, 0x30, 0x30)));
        frmAbout about(&parent);
        QCOMPARE(about.windowTitle(), u"About"_s);
        const QImage image = about.grab().toImage();
        QCOMPARE(image.pixelColor(2, image.height() - 2), QColor(Qt::white));
        QVERIFY(about.findChild<QLabel *>(u"lblInfo(0)"_s)->palette().color(QPalette::WindowText).lightness() < 80);

        QCOMPARE(about.findChild<QLabel *>(u"lblVersion"_s)->text(),
                 frmAbout::versionLine(QTA_VERSION_MAJOR, QTA_VERSION_MINOR, QTA_VERSION_PATCH));
        QCOMPARE(about.findChild<QLabel *>(u"lblInfo(7)"_s)->text(),
                 frmAbout::logoLine(QTA_VERSION_MAJOR, QTA_VERSION_MINOR));
        for (const char *name : {"cmdOK", "lblMail(0)", "lblMail(1)"}) {
            const QCursor cursor = about.findChild<QWidget *>(QString::fromLatin1(name))->cursor();
            QCOMPARE(cursor.shape(), Qt::BitmapCursor);
            QCOMPARE(cursor.hotSpot(), QPoint(5, 0));
        }
        auto *ok = about.findChild<QPushButton *>(u"cmdOK"_s);
        QVERIFY(ok->isDefault());
        QCOMPARE(about.findChild<OwnerDrawManager *>()->buttons(), QList{ok});
        for (const QWidget *widget : about.findChildren<QWidget *>()) {
            if (!widget->objectName().isEmpty())
                QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
        }
    }

    void mainWindowOpensItModally()
    {
        frmEditor editor;
        QString shown;
        QTimer::singleShot(0, &editor, [&shown] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                shown = modal->objectName();
                QTest::keyClick(modal, Qt::Key_Escape);
            }
        });
        editor.showAbout();
        QCOMPARE(shown, u"frmAbout"_s);
        QVERIFY(!editor.findChild<frmAbout *>());
    }

private:
    ShellCatcher m_mail;
    QString m_shellReady; // why links cannot be caught here, or empty
};

QTEST_MAIN(tst_FrmAbout)
#include "tst_frmabout.moc"
