#include "cbrowseforfolder.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <string_view>
#endif

namespace {

// The main window's rule for its INI prompt: only a folder holding QTA.INI may be chosen.
void requireIni(const QString &sPath, bool &bAllowOk)
{
    if (!QFileInfo(QDir(sPath).filePath(u"QTA.INI"_s)).isFile())
        bAllowOk = false;
}

#ifdef Q_OS_WIN
// The shell's folder browser, driven through its window as a user's tools would: the controls of its dialog
// template (title 0x3742, status 0x3743, OK and Cancel).
class FolderDialogDriver
{
public:
    explicit FolderDialogDriver(HWND dialog)
        : m_dialog(dialog)
    {
    }

    // The shell's dialog of this thread, also while it is still being set up.
    static HWND find()
    {
        HWND found = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM result) -> BOOL {
                wchar_t kind[8] = {};
                GetClassNameW(window, kind, 8);
                if (std::wstring_view(kind) != L"#32770")
                    return TRUE;
                *reinterpret_cast<HWND *>(result) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

    QString title() const { return text(0x3742); }
    QString status() const { return text(0x3743); }
    bool okEnabled() const
    {
        // What the dialog still has to do about the last selection comes first.
        QCoreApplication::processEvents();
        return IsWindowEnabled(GetDlgItem(m_dialog, IDOK));
    }
    bool isOpen() const { return IsWindow(m_dialog); }
    void pressOk() { press(IDOK); }
    void pressCancel() { press(IDCANCEL); }
    void pressEscape()
    {
        // To the control with the focus, where the dialog's own key handling turns it into Cancel.
        const HWND focus = GetFocus();
        PostMessageW(focus ? focus : m_dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    // The shell selects a folder on a click through the same message.
    void select(cBrowseForFolder &browser, const QString &path) { browser.SetFolder(path); }

private:
    QString text(int id) const
    {
        wchar_t buffer[1024] = {};
        GetDlgItemTextW(m_dialog, id, buffer, 1024);
        return QString::fromWCharArray(buffer);
    }
    void press(int id) { PostMessageW(m_dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(m_dialog, id))); }

    HWND m_dialog;
};
#else
// Our own folder dialog, driven through its widgets.
class FolderDialogDriver
{
public:
    explicit FolderDialogDriver(QDialog *dialog)
        : m_dialog(dialog)
    {
    }

    static QDialog *find() { return qobject_cast<QDialog *>(QApplication::activeModalWidget()); }

    QString title() const { return m_dialog->findChild<QLabel *>(u"lblTitle"_s)->text(); }
    QString status() const { return m_dialog->findChild<QLabel *>(u"lblStatus"_s)->text(); }
    bool okEnabled() const { return button(u"cmdOK"_s)->isEnabled(); }
    bool isOpen() const { return m_dialog->isVisible(); }
    void pressOk() { QTest::mouseClick(button(u"cmdOK"_s), Qt::LeftButton); }
    void pressCancel() { QTest::mouseClick(button(u"cmdCancel"_s), Qt::LeftButton); }
    void pressEscape() { QTest::keyClick(m_dialog, Qt::Key_Escape); }
    bool hasSelection() const { return tree()->currentIndex().isValid(); }
    QTreeView *tree() const { return m_dialog->findChild<QTreeView *>(u"tvwFolders"_s); }

    // Selects path by clicking its row, as the user would.
    void select(cBrowseForFolder &, const QString &path)
    {
        QTreeView *view = tree();
        const auto *proxy = qobject_cast<const QSortFilterProxyModel *>(view->model());
        const auto *files = qobject_cast<const QFileSystemModel *>(proxy->sourceModel());
        const QModelIndex index = proxy->mapFromSource(files->index(path));
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }

private:
    QPushButton *button(const QString &name) const { return m_dialog->findChild<QPushButton *>(name); }

    QDialog *m_dialog;
};
#endif

// Runs act on the folder dialog of the browser's next BrowseForFolder once it is up, then closes the dialog if
// act did not: the suite must not hang.
void whenShown(cBrowseForFolder &browser, const std::function<void(FolderDialogDriver &)> &act)
{
    const auto run = [act](auto dialog) {
        FolderDialogDriver driver(dialog);
        act(driver);
        if (driver.isOpen())
            driver.pressCancel();
    };
#ifdef Q_OS_WIN
    // The shell's dialog answers only through its own message loop: a timer of the dialog's runs act once the
    // dialog has finished setting itself up (timer messages come after every other message).
    static std::function<void()> pending;
    QObject::connect(
        &browser, &cBrowseForFolder::Initialized, &browser,
        [run] {
            const HWND dialog = FolderDialogDriver::find();
            pending = [run, dialog] { run(dialog); };
            SetTimer(dialog, 1, 0, [](HWND window, UINT, UINT_PTR id, DWORD) {
                KillTimer(window, id);
                std::exchange(pending, nullptr)();
            });
        },
        Qt::SingleShotConnection);
#else
    QTimer::singleShot(0, &browser, [run] {
        QDialog *dialog = nullptr;
        if (QTest::qWaitFor([&] { return (dialog = FolderDialogDriver::find()) != nullptr; }))
            run(dialog);
    });
#endif
}

} // namespace

class tst_BrowseForFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(u"QTAEdit"_s);
        QVERIFY(m_temp.isValid());
        // No name begins with another: Wine's dialog then takes the shorter for a parent of the longer.
        m_withIni = m_temp.filePath(u"QTA here"_s);
        m_withoutIni = m_temp.filePath(u"nothing"_s);
        m_withIni2 = m_temp.filePath(u"second QTA"_s);
        m_withoutIni2 = m_temp.filePath(u"empty"_s);
        for (const QString &folder : { m_withIni, m_withoutIni, m_withIni2, m_withoutIni2 })
            QVERIFY(QDir().mkpath(folder));
        for (const QString &folder : { m_withIni, m_withIni2 }) {
            QFile ini(folder + u"/QTA.INI"_s);
            QVERIFY(ini.open(QIODevice::WriteOnly));
        }
    }

    void cleanup()
    {
        cBrowseForFolder::setNextAnswerForTesting(nullptr);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void withoutDialog()
    {
        const cBrowseForFolder browser;
        QCOMPARE(browser.Title(), u"Choose Folder"_s);
        QVERIFY(!browser.EditBox() && !browser.StatusText() && !browser.FileSystemOnly());
        QVERIFY(!browser.ValidateEditBox() && !browser.UseNewUI() && !browser.isShowing());
        QCOMPARE(browser.DisplayName(), QVariant(QString()));
        QVERIFY(browser.InitialDir().isEmpty() && browser.RootDir().isEmpty() && !browser.hwndOwner());
#ifdef Q_OS_WIN
        const int home = 0x0028; // the shell's number for the user's profile folder
#else
        const int home = QStandardPaths::HomeLocation;
#endif
        QCOMPARE(browser.SpecialFolderLocation(home), QDir::toNativeSeparators(QDir::homePath()));
        QCOMPARE(browser.SpecialFolderLocation(4711), QString());
        QCOMPARE(browser.SpecialFolderLocation(-1), QString());
    }

    // SetStatus and SetFolder work only while the dialog is up: before a browse and after it they raise an error.
    void notShowing()
    {
        cBrowseForFolder browser;
        for (int round = 0; round < 2; ++round) {
            for (const bool setFolder : {false, true}) {
                try {
                    setFolder ? browser.SetFolder(m_withIni) : browser.SetStatus(u"hello"_s);
                    QFAIL("no error raised");
                } catch (const BrowseForFolderError &error) {
                    QCOMPARE(error.number(), 26002);
                    QCOMPARE(error.description(), u"Operation invalid unless dialog is displayed."_s);
                    QCOMPARE(error.source(), u"QTAEdit.cBrowseForFolder"_s);
                }
            }
            cBrowseForFolder::setNextAnswerForTesting([](cBrowseForFolder &) { return QString(); });
            browser.BrowseForFolder();
        }
    }

    void hook_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("simulated");
        QTest::addColumn<bool>("allowOk");
        QTest::addColumn<QString>("displayName");
        const QString root = QDir::toNativeSeparators(QDir::rootPath());
        QTest::addRow("chosen") << u"/opt/QTA/Tools"_s << QString() << true << u"Tools"_s;
        // The root shown as it is written, without a separator after a drive: "C:", "/".
        QTest::addRow("chosen root") << root << QString() << true << (root.size() > 1 ? root.chopped(1) : root);
        QTest::addRow("cancelled") << QString() << QString() << true << QString();
        QTest::addRow("handler refuses a folder without QTA.INI") << QString() << u"nothing"_s << false << QString();
        QTest::addRow("handler accepts a folder with QTA.INI") << u"QTA here"_s << u"QTA here"_s << true
                                                               << u"QTA here"_s;
    }

    void hook()
    {
        QFETCH(QString, answer);
        QFETCH(QString, simulated);
        QFETCH(bool, allowOk);
        QFETCH(QString, displayName);
        cBrowseForFolder browser;
        connect(&browser, &cBrowseForFolder::SelectionChanged, this, requireIni);
        bool showingInside = false;
        bool allowed = true;
        const QString chosen = answer.isEmpty() || QDir::isAbsolutePath(answer) ? answer : m_temp.filePath(answer);
        cBrowseForFolder::setNextAnswerForTesting([&](cBrowseForFolder &self) {
            showingInside = self.isShowing();
            self.SetStatus(u"works while showing"_s);
            if (!simulated.isEmpty())
                allowed = self.simulateSelection(m_temp.filePath(simulated));
            return chosen;
        });
        QCOMPARE(browser.BrowseForFolder(), chosen);
        QVERIFY(showingInside);
        QVERIFY(!browser.isShowing());
        QCOMPARE(allowed, allowOk);
        QCOMPARE(browser.DisplayName().toString(), displayName);
    }

    void hookAnswersOnce()
    {
        cBrowseForFolder browser;
        cBrowseForFolder::setNextAnswerForTesting([](cBrowseForFolder &) { return u"/first"_s; });
        QCOMPARE(browser.BrowseForFolder(), u"/first"_s);
        bool dialogShown = false;
        whenShown(browser, [&](FolderDialogDriver &) { dialogShown = true; });
        QCOMPARE(browser.BrowseForFolder(), QString());
        QVERIFY(dialogShown);
    }

    void dialogOkFollowsHandler_data()
    {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QString>("next");
        QTest::addColumn<bool>("bySetFolder"); // else as the user does it
        QTest::addColumn<bool>("accept");

        QTest::addRow("refused folder, then one with QTA.INI, OK") << u"nothing"_s << u"QTA here"_s << false << true;
        QTest::addRow("folder with QTA.INI, then a refused one, Cancel")
            << u"second QTA"_s << u"empty"_s << true << false;
    }

    // The dialog opens on the remembered folder; OK follows the handler's rule for the folder shown.
    void dialogOkFollowsHandler()
    {
        QFETCH(QString, initial);
        QFETCH(QString, next);
        QFETCH(bool, bySetFolder);
        QFETCH(bool, accept);
        const QString first = m_temp.filePath(initial);
        const QString second = m_temp.filePath(next);

        cBrowseForFolder browser;
        browser.setFileSystemOnly(true);
        browser.setStatusText(true);
        browser.setTitle(u"Please browse for your QTA.INI file"_s);
        browser.setInitialDir(first);
        QStringList events;
        connect(&browser, &cBrowseForFolder::Initialized, this, [&] { events << u"Initialized"_s; });
        connect(&browser, &cBrowseForFolder::SelectionChanged, this, [&](const QString &sPath, bool &bAllowOk) {
            events << sPath;
            requireIni(sPath, bAllowOk);
        });

        QList<bool> okStates;
        QString title, status;
        whenShown(browser, [&](FolderDialogDriver &dialog) {
            if (!QTest::qWaitFor([&] { return events.size() > 1; }))
                return;
            title = dialog.title();
            okStates << dialog.okEnabled();
            if (bySetFolder)
                browser.SetFolder(second);
            else
                dialog.select(browser, second);
            okStates << dialog.okEnabled();
            status = dialog.status();
            if (accept)
                dialog.pressOk();
            else
                dialog.pressCancel();
        });
        const QString result = browser.BrowseForFolder();

        const auto hasIni = [](const QString &folder) { return QFileInfo::exists(folder + u"/QTA.INI"_s); };
        QCOMPARE(title, browser.Title());
        QCOMPARE(okStates, QList<bool>({ hasIni(first), hasIni(second) }));
        QCOMPARE(status, QDir::toNativeSeparators(second));
        QCOMPARE(events,
                 QStringList({ u"Initialized"_s, QDir::toNativeSeparators(first), QDir::toNativeSeparators(second) }));
        QCOMPARE(result, accept ? QDir::toNativeSeparators(second) : QString());
        QCOMPARE(browser.DisplayName().toString(), accept ? next : QString());
        QVERIFY(!browser.isShowing() && !browser.dialog());
    }

    // A folder a few levels down, below many others, is shown, not left scrolled out of view.
    void dialogShowsTheInitialFolder()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows shows the shell's own folder dialog, which scrolls its tree itself");
#else
        QString deep = m_temp.filePath(u"deep"_s);
        for (int level = 0; level < 3; ++level) {
            for (int i = 0; i < 40; ++i)
                QVERIFY(QDir().mkpath(deep + u"/a%1"_s.arg(i, 2, 10, QChar(u'0'))));
            deep += u"/z"_s;
        }
        QVERIFY(QDir().mkpath(deep));
        cBrowseForFolder browser;
        browser.setInitialDir(deep);
        bool shown = false;
        whenShown(browser, [&](FolderDialogDriver &dialog) {
            QTreeView *tree = dialog.tree();
            const auto *files = qobject_cast<const QFileSystemModel *>(
                qobject_cast<const QSortFilterProxyModel *>(tree->model())->sourceModel());
            // The folders above it are listed and sorted as the model reads them, pushing it down.
            QVERIFY(QTest::qWaitFor([&] {
                for (QString level = m_temp.filePath(u"deep"_s); level != deep; level += u"/z"_s) {
                    if (files->index(level + u"/z"_s).row() != 40)
                        return false;
                }
                return true;
            }));
            shown = QTest::qWaitFor([tree] {
                return tree->currentIndex().isValid()
                    && tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()));
            }, 2000);
        });
        QCOMPARE(browser.BrowseForFolder(), QString());
        QVERIFY(shown);
#endif
    }

    void dialogCancel_data()
    {
        QTest::addColumn<bool>("escapeKey");
        QTest::addRow("missing initial folder, Cancel button") << false;
        QTest::addRow("missing initial folder, Escape key") << true;
    }

    void dialogCancel()
    {
        QFETCH(bool, escapeKey);
        cBrowseForFolder browser;
        browser.setInitialDir(m_temp.filePath(u"missing"_s));
        // A display name left from an earlier browse must not survive a cancel.
        cBrowseForFolder::setNextAnswerForTesting([this](cBrowseForFolder &) { return m_withIni; });
        browser.BrowseForFolder();
        int initialized = 0;
        int selections = 0;
        connect(&browser, &cBrowseForFolder::Initialized, this, [&] { ++initialized; });
        connect(&browser, &cBrowseForFolder::SelectionChanged, this, [&] { ++selections; });

#ifndef Q_OS_WIN
        bool selected = true;
        bool okEnabled = true;
#endif
        whenShown(browser, [&](FolderDialogDriver &dialog) {
            if (!QTest::qWaitFor([&] { return initialized > 0; }))
                return;
#ifndef Q_OS_WIN
            selected = dialog.hasSelection();
            okEnabled = dialog.okEnabled();
#endif
            if (escapeKey)
                dialog.pressEscape();
            else
                dialog.pressCancel();
        });

        QCOMPARE(browser.BrowseForFolder(), QString());
        QCOMPARE(initialized, 1);
        QCOMPARE(browser.DisplayName(), QVariant(QString()));
#ifndef Q_OS_WIN
        // Ours selects nothing then; the shell's selects the top of its tree, as it always does.
        QCOMPARE(selections, 0);
        QVERIFY(!selected);
        QVERIFY(!okEnabled);
#endif
    }

    void dialogHandlerError()
    {
        cBrowseForFolder browser;
        browser.setInitialDir(m_withIni);
        connect(&browser, &cBrowseForFolder::SelectionChanged, this,
                [](const QString &, bool &) { throw std::runtime_error("handler failed"); });
        // Only in case the dialog does not close itself.
        QTimer rescue;
        rescue.callOnTimeout(this, [] {
            if (const auto dialog = FolderDialogDriver::find())
                FolderDialogDriver(dialog).pressCancel();
        });
        rescue.start(2000);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, browser.BrowseForFolder());
        QVERIFY(!browser.isShowing() && !browser.dialog());
    }

private:
    QTemporaryDir m_temp;
    QString m_withIni;
    QString m_withoutIni;
    QString m_withIni2;
    QString m_withoutIni2;
};

QTEST_MAIN(tst_BrowseForFolder)
#include "tst_browseforfolder.moc"
