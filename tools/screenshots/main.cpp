// Takes the README's screenshots: builds the editor on the bundled sample (with settings of its own) and
// saves each page and the About box as a PNG. Run it through tools/screenshots/take.sh, which starts a virtual display.

#include "foldersettings.h"
#include "frmabout.h"
#include "frmeditor.h"
#include "toolbar.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: qta-screenshots SAMPLE_INI OUTPUT_FOLDER\n");
        return 2;
    }
    const QString sample = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir work;
    QFile::copy(sample, work.filePath(QStringLiteral("QTA.INI")));
    QFile::setPermissions(work.filePath(QStringLiteral("QTA.INI")), QFile::ReadOwner | QFile::WriteOwner);
    FolderSettings::setStoreFolderForTesting(work.path());
    FolderSettings::write(FolderSettings::iniKey(), work.path());

    frmEditor editor;
    if (!editor.start())
        return 1;
    editor.show();
    if (!QTest::qWaitForWindowExposed(&editor))
        return 1;
    QDir().mkpath(output);
    auto shoot = [&](const QString &name) {
        QTest::qWait(300);
        return editor.grab().save(output + u'/' + name);
    };
    bool ok = shoot(QStringLiteral("screenshot-toolbar.png"));

    // A button moved with Ctrl+Right (so Undo offers it back), and the tooltip of the button whose add-on is
    // gone, taken from the screen so the tooltip is in the picture.
    auto *preview = editor.findChild<Toolbar *>(QStringLiteral("vbQTAToolbar"));
    preview->focusButton(0);
    QTest::keyClick(preview->buttonWidget(0), Qt::Key_Right, Qt::ControlModifier);
    for (int position = 0; position < preview->buttonCount(); ++position) {
        if (!preview->buttonMark(position).isEmpty()) {
            QWidget *button = preview->buttonWidget(position);
            QToolTip::showText(button->mapToGlobal(button->rect().bottomLeft() + QPoint(4, 4)), button->toolTip(),
                               button);
            break;
        }
    }
    QTest::qWait(500);
    ok = editor.screen()
             ->grabWindow(0, editor.x(), editor.y(), editor.frameGeometry().width(), editor.frameGeometry().height())
             .save(output + QStringLiteral("/screenshot-undo-marks.png"))
        && ok;
    QToolTip::hideText();
    QTabBar *tabs = editor.findChild<QTabWidget *>(QStringLiteral("vbTabControl1"))->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    ok = shoot(QStringLiteral("screenshot-addons.png")) && ok;

    // Shown without its own event loop, so the program goes on to take the picture.
    frmAbout about(&editor);
    about.show();
    if (!QTest::qWaitForWindowExposed(&about))
        return 1;
    QTest::qWait(300);
    ok = about.grab().save(output + QStringLiteral("/screenshot-about.png")) && ok;
    return ok ? 0 : 1;
}
