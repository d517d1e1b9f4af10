// The About box, driven for real from the main window, and links that read well on light and dark palettes.
#include "frmabout.h"
#include "frmeditor.h"
#include "linkcolour.h"
#include "maillink.h"
#include "shellcatcher.h"

#include <QApplication>
#include <QLabel>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

class tst_FrmAbout final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Enter or a whole click on a mail link (not a press let go elsewhere) opens it; the box stays until Escape.
    void openedFromTheWindow()
    {
        ShellCatcher mail;
        if (const QString why = mail.install(); !why.isEmpty())
            QSKIP(qPrintable(why));
        const auto uninstall = qScopeGuard([&mail] { mail.uninstall(); });
        QList<QUrl> opened; // the shell may start one program per link: each is caught before the next
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
            opened += mail.caught(true);
            mail.clear();
            QWidget *other = box->findChild<QWidget *>(u"lblMail(0)"_s);
            QTest::mouseClick(other, Qt::LeftButton);
            opened += mail.caught(true);
            mail.clear();
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
        opened += mail.caught(false);
        const QString version = frmAbout::versionLine(QTA_VERSION_MAJOR, QTA_VERSION_MINOR, QTA_VERSION_PATCH);
        QCOMPARE(seen, QStringList({ u"frmAbout"_s, version, u"lblMail(0)"_s, u"open"_s }));
        QCOMPARE(opened.size(), 2);
        QVERIFY(opened[0].scheme() == u"mailto"_s && opened[1].scheme() == u"mailto"_s);
        QVERIFY(opened[0] != opened[1]);
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
