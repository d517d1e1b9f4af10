#include "components/uitest.h"
#include "folderbrowser.h"

#include <QDialog>
#include <QDir>
#include <QFileSystemModel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTreeView>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <string_view>
#endif

using namespace Qt::StringLiterals;

#ifdef Q_OS_WIN
namespace {

// The shell's folder browser of this thread, driven through its window as a user's tools would.
struct ShellDialog
{
    HWND window = nullptr;

    bool okEnabled() const
    {
        QCoreApplication::processEvents(); // what the dialog still has to do about the last selection comes first
        return IsWindowEnabled(GetDlgItem(window, IDOK));
    }
    void press(int id) const
    {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(window, id)));
    }
};

// Runs act on the shell's dialog of the browser's next BrowseForFolder. The dialog answers only through its own
// message loop: a timer of the dialog's runs act once it has finished setting itself up.
void whenShellShown(FolderBrowser &browser, const std::function<void(ShellDialog)> &act)
{
    static std::function<void()> pending;
    QObject::connect(
        &browser, &FolderBrowser::initialized, &browser,
        [act] {
            ShellDialog dialog;
            EnumThreadWindows(
                GetCurrentThreadId(),
                [](HWND window, LPARAM found) -> BOOL {
                    wchar_t kind[8] = {};
                    GetClassNameW(window, kind, 8);
                    if (std::wstring_view(kind) != L"#32770")
                        return TRUE;
                    *reinterpret_cast<HWND *>(found) = window;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&dialog.window));
            pending = [act, dialog] {
                act(dialog);
                if (IsWindow(dialog.window))
                    dialog.press(IDCANCEL);
            };
            SetTimer(dialog.window, 1, 0, [](HWND window, UINT, UINT_PTR id, DWORD) {
                KillTimer(window, id);
                std::exchange(pending, nullptr)();
            });
        },
        Qt::SingleShotConnection);
}

} // namespace
#endif

// The real folder browser, as the window asks for the folder of QTA.INI.
class tst_FolderBrowser final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // OK is offered only for a folder the owner accepts; a missing initial folder selects nothing to accept.
    void okFollowsTheOwnersRule()
    {
        // No name begins with another: Wine's dialog takes the shorter for a parent of the longer.
        const QString with = m_temp.filePath(u"QTA here"_s), without = m_temp.filePath(u"nothing"_s);
        QFile ini(with + u"/QTA.INI"_s);
        QVERIFY(QDir().mkpath(with) && QDir().mkpath(without) && ini.open(QIODevice::WriteOnly));
        FolderBrowser browser;
        browser.setFileSystemOnly(true);
        QStringList selections;
        connect(&browser, &FolderBrowser::selectionChanged, this, [&](const QString &path, bool &allowOk) {
            selections << path;
            allowOk = QFileInfo::exists(path + u"/QTA.INI"_s);
        });
#ifdef Q_OS_WIN
        // The shell's own dialog opens on the remembered folder; Cancel after a refused folder gives none.
        QList<bool> okStates;
        browser.setInitialDir(with);
        whenShellShown(browser, [&](ShellDialog dialog) {
            QVERIFY(QTest::qWaitFor([&] { return selections.size() == 1; }));
            okStates << dialog.okEnabled();
            browser.setFolder(without); // the shell selects a folder on a click through the same message
            okStates << dialog.okEnabled();
            dialog.press(IDCANCEL);
        });
        QCOMPARE(browser.browseForFolder(), QString());
        browser.setInitialDir(without);
        whenShellShown(browser, [&](ShellDialog dialog) {
            QVERIFY(QTest::qWaitFor([&] { return selections.size() == 3; }));
            okStates << dialog.okEnabled();
            browser.setFolder(with);
            okStates << dialog.okEnabled();
            dialog.press(IDOK);
        });
        QCOMPARE(browser.browseForFolder(), QDir::toNativeSeparators(with));
        QCOMPARE(okStates, QList<bool>({ true, false, false, true }));
        QCOMPARE(selections, QStringList({ with, without, without, with }).replaceInStrings(u"/"_s, u"\\"_s));
        QVERIFY(!browser.isShowing() && !browser.dialog());
#else
        browser.setInitialDir(m_temp.filePath(u"missing"_s));
        whenShown<QDialog>(this, [&](QDialog *dialog) {
            QVERIFY(!dialog->findChild<QTreeView *>(u"tvwFolders"_s)->currentIndex().isValid());
            QVERIFY(!dialog->findChild<QPushButton *>(u"cmdOK"_s)->isEnabled());
            QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdCancel"_s), Qt::LeftButton);
        });
        QCOMPARE(browser.browseForFolder(), QString());

        browser.setInitialDir(without);
        QList<bool> okStates;
        whenShown<QDialog>(this, [&](QDialog *dialog) {
            QVERIFY(QTest::qWaitFor([&] { return !selections.isEmpty(); }));
            auto *ok = dialog->findChild<QPushButton *>(u"cmdOK"_s);
            auto *tree = dialog->findChild<QTreeView *>(u"tvwFolders"_s);
            okStates << ok->isEnabled();
            tree->scrollTo(indexOf(tree, with));
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(indexOf(tree, with)).center());
            okStates << ok->isEnabled();
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        QCOMPARE(browser.browseForFolder(), QDir::toNativeSeparators(with));
        QCOMPARE(okStates, QList<bool>({ false, true }));
        QCOMPARE(selections, QStringList({ without, with }));
#endif
    }

    // A folder a few levels down, below many others, is shown, not left scrolled out of view.
    void initialFolderScrolledIntoView()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows shows the shell's own folder dialog, which scrolls its tree itself");
#endif
        QString deep = m_temp.filePath(u"deep"_s);
        for (int level = 0; level < 3; ++level) {
            for (int i = 0; i < 40; ++i)
                QVERIFY(QDir().mkpath(deep + u"/a%1"_s.arg(i, 2, 10, QChar(u'0'))));
            deep += u"/z"_s;
        }
        QVERIFY(QDir().mkpath(deep));
        FolderBrowser browser;
        browser.setInitialDir(deep);
        whenShown<QDialog>(this, [&](QDialog *dialog) {
            auto *tree = dialog->findChild<QTreeView *>(u"tvwFolders"_s);
            // The folders are listed and sorted as the model reads them, pushing the initial one down.
            QTRY_COMPARE(indexOf(tree, deep).row(), 40);
            QTRY_COMPARE(tree->currentIndex(), indexOf(tree, deep));
            QTRY_VERIFY(tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())));
        });
        QCOMPARE(browser.browseForFolder(), QString());
    }

private:
    static QModelIndex indexOf(const QTreeView *tree, const QString &path)
    {
        const auto *proxy = qobject_cast<const QSortFilterProxyModel *>(tree->model());
        return proxy->mapFromSource(qobject_cast<const QFileSystemModel *>(proxy->sourceModel())->index(path));
    }

    QTemporaryDir m_temp;
};

QTEST_MAIN(tst_FolderBrowser)
#include "tst_folderbrowser.moc"
