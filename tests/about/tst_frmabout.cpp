// The About box, driven for real from the main window, and links that read well on light and dark palettes.
#include "frmabout.h"
#include "frmeditor.h"
#include "linkcolour.h"
#include "maillink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

// Stands in for the desktop's mail program: records the links it would have opened.
class MailCatcher : public QObject
{
    Q_OBJECT

public:
    QStringList urls;

public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url.toString()); }
};

class tst_FrmAbout final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Enter or a whole click on a mail link (not a press let go elsewhere) opens it; the box stays until Escape.
    void openedFromTheWindow()
    {
        MailCatcher mail;
        QDesktopServices::setUrlHandler(u"mailto"_s, &mail, "open");
        frmEditor editor;
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        QStringList seen;
        QTimer poll; // until the box runs its own loop
        connect(&poll, &QTimer::timeout, this, [&] {
            QWidget *box = QApplication::activeModalWidget();
            if (!box || !box->isActiveWindow())
                return;
            poll.stop();
            seen << box->objectName() << box->findChild<QLabel *>(u"lblVersion"_s)->text();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QWidget *other = box->findChild<QWidget *>(u"lblMail(0)"_s);
            QTest::mouseClick(other, Qt::LeftButton);
            QTest::mousePress(other, Qt::LeftButton);
            QTest::mouseRelease(other, Qt::LeftButton, {}, QPoint(-10, -10));
            seen << QApplication::focusWidget()->objectName() << (box->isVisible() ? u"open"_s : u"closed"_s);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        poll.start(10);
        auto *link = editor.findChild<QLabel *>(u"Label5"_s);
        // The link is reached from the keyboard as every control is.
        for (int i = 0; i < 40 && QApplication::focusWidget() != link; ++i)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &editor, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), link);
        QTest::keyClick(link, Qt::Key_Space);
        QDesktopServices::unsetUrlHandler(u"mailto"_s);
        const QString version = frmAbout::versionLine(QTA_VERSION_MAJOR, QTA_VERSION_MINOR, QTA_VERSION_PATCH);
        QCOMPARE(seen, QStringList({ u"frmAbout"_s, version, u"lblMail(0)"_s, u"open"_s }));
        QCOMPARE(mail.urls.size(), 2);
        QVERIFY(mail.urls[0] != mail.urls[1]);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void linksReadWell_data()
    {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QColor>("link"); // the palette's own link colour
        QTest::addRow("light palette: the classic blue") << QColor(240, 240, 240) << QColor(0, 0, 255);
        QTest::addRow("dark palette, dark link colour") << QColor(0x20, 0x20, 0x20) << QColor(0, 0, 255);
        QTest::addRow("dark palette, light link colour") << QColor(0x30, 0x30, 0x30) << QColor(0x8a, 0xb4, 0xf8);
    }

    // Both links stand out from what they are drawn on as body text should (a contrast of 4.5 to 1).
    void linksReadWell()
    {
        QFETCH(QColor, window);
        QFETCH(QColor, link);
        const QPalette before = QApplication::palette();
        const auto restore = qScopeGuard([before] { QApplication::setPalette(before); });
        QPalette palette = before;
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::WindowText, window.lightness() < 128 ? Qt::white : Qt::black);
        palette.setColor(QPalette::Link, link);
        QApplication::setPalette(palette);
        frmEditor editor;
        frmAbout about(&editor);
        const QList<QLabel *> links { editor.findChild<QLabel *>(u"Label5"_s), about.findChild<MailLink *>() };
        for (QLabel *label : links) {
            const QColor text = label->palette().color(QPalette::WindowText);
            const QColor ground = label->palette().color(QPalette::Window); // the About box is always paper white
            QVERIFY2(contrastRatio(text, ground) >= 4.5, qPrintable(label->objectName() + text.name()));
            if (window.lightness() >= 128)
                QCOMPARE(text, QColor(0, 0, 255));
        }
    }
};

QTEST_MAIN(tst_FrmAbout)
#include "tst_frmabout.moc"
