// The folder dialog on Windows: the shell's own folder browser.

#include <QtGlobal>

#ifdef Q_OS_WIN

#include "folderbrowser_p.h"

#include <QGuiApplication>
#include <QWidget>

// Windows' own header first: the shell headers need its definitions.
// clang-format off
#include <qt_windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>
#include <shobjidl.h>
// clang-format on

#include <vector>

namespace {

// An item id list from the shell, freed when it goes out of scope.
class ItemIdList final
{
public:
    explicit ItemIdList(PIDLIST_ABSOLUTE pidl = nullptr)
        : m_pidl(pidl)
    {
    }
    ~ItemIdList() { CoTaskMemFree(m_pidl); }
    ItemIdList(const ItemIdList &) = delete;
    ItemIdList &operator=(const ItemIdList &) = delete;

    PIDLIST_ABSOLUTE get() const { return m_pidl; }
    PIDLIST_ABSOLUTE *receive()
    {
        CoTaskMemFree(m_pidl);
        m_pidl = nullptr;
        return &m_pidl;
    }

private:
    PIDLIST_ABSOLUTE m_pidl;
};

const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

// Asked of the shell as an allocated string, so that nothing is cut at the classic 260 characters.
QString shellName(PCIDLIST_ABSOLUTE pidl, SIGDN form)
{
    PWSTR name = nullptr;
    if (!pidl || FAILED(SHGetNameFromIDList(pidl, form, &name)))
        return {};
    const QString result = QString::fromWCharArray(name);
    CoTaskMemFree(name);
    return result;
}

// The file-system path of an item; "" for one without (a printer, the network, ...).
QString fileSystemPath(PCIDLIST_ABSOLUTE pidl)
{
    return shellName(pidl, SIGDN_FILESYSPATH);
}

// The item of an absolute path; null where the shell does not know it, so a missing folder is simply not selected.
PIDLIST_ABSOLUTE parsePath(const QString &absolutePath)
{
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (FAILED(SHParseDisplayName(wide(absolutePath), nullptr, &pidl, 0, nullptr)))
        return nullptr;
    return pidl;
}

HWND windowOf(QWidget *widget)
{
    // Only the windows platform's window ids are window handles; another platform's (offscreen) are not.
    if (!widget || QGuiApplication::platformName() != QLatin1String("windows"))
        return nullptr;
    return reinterpret_cast<HWND>(widget->window()->winId());
}

class BrowseSession final : public FolderDialogSession
{
public:
    explicit BrowseSession(FolderDialogEvents &events)
        : m_events(events)
    {
    }

    void setFolder(const QString &absolutePath) override
    {
        ItemIdList item(parsePath(absolutePath));
        if (!window || !item.get())
            return;
        SendMessageW(window, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(item.get()));
        SetFocus(window);
    }

    void setStatus(const QString &text) override
    {
        if (window)
            SendMessageW(window, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(wide(text)));
    }

    void initialize(HWND dialog)
    {
        SetWindowSubclass(dialog, dialogProc, 0, reinterpret_cast<DWORD_PTR>(this));
        if (initial) {
            SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(initial));
            // No change reported (the folder was selected already, or the shell kept quiet about it): the handler
            // must still judge the folder the dialog opens on.
            if (!selectionWaiting) {
                selectionWaiting = true;
                waitingPath = nativeFolderPath(fileSystemPath(initial));
            }
        }
        window = dialog;
        m_events.opened(nullptr);
        initialized = true;
        // The selection made while opening is reported after initialized, like every later one.
        if (selectionWaiting)
            reportSelection(waitingPath);
    }

    void selectionChanged(const QString &path)
    {
        if (!initialized) {
            selectionWaiting = true;
            waitingPath = path;
        } else {
            reportSelection(path);
        }
    }

    // Returns whether the dialog stays open.
    bool validationFailed(const QString &text)
    {
        // OK stays as it was: disabling it would leave no way to accept a corrected text.
        setStatus(FolderBrowser::tr("Path invalid: ") + text);
        if (m_events.validationFailed(text))
            return true;
        closedOnInvalidText = true;
        return false;
    }

    HWND window = nullptr;
    PCIDLIST_ABSOLUTE initial = nullptr;
    bool initialized = false;
    bool closedOnInvalidText = false;

private:
    void reportSelection(const QString &path)
    {
        setStatus(path);
        // Allowed leaves OK as the dialog set it: the dialog itself refuses items that are no folders.
        m_refused = !m_events.selectionChanged(path);
        if (m_refused && window) {
            SendMessageW(window, BFFM_ENABLEOK, 0, FALSE);
            // Some shells (Wine's) set OK by their own rule once we have answered, undoing the refusal: it is
            // said again when the dialog has finished with this selection.
            PostMessageW(window, refusalMessage(), 0, 0);
        }
    }

    static UINT refusalMessage()
    {
        static const UINT message = RegisterWindowMessageW(L"QTAEdit.FolderBrowser.Refusal");
        return message;
    }

    static LRESULT CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data)
    {
        if (message == refusalMessage()) {
            if (reinterpret_cast<BrowseSession *>(data)->m_refused)
                SendMessageW(dialog, BFFM_ENABLEOK, 0, FALSE);
            return 0;
        }
        if (message == WM_NCDESTROY)
            RemoveWindowSubclass(dialog, dialogProc, id);
        return DefSubclassProc(dialog, message, wParam, lParam);
    }

    FolderDialogEvents &m_events;
    bool selectionWaiting = false;
    bool m_refused = false; // the handler's answer for the selection the dialog shows
    QString waitingPath;
};

int CALLBACK browseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM lpData)
{
    auto *session = reinterpret_cast<BrowseSession *>(lpData);
    if (!session)
        return 0;
    switch (message) {
    case BFFM_INITIALIZED:
        session->initialize(dialog);
        return 0;
    case BFFM_SELCHANGED:
        session->selectionChanged(nativeFolderPath(fileSystemPath(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam))));
        return 0;
    case BFFM_VALIDATEFAILEDW:
        return session->validationFailed(QString::fromWCharArray(reinterpret_cast<const wchar_t *>(lParam))) ? 1 : 0;
    default:
        return 0;
    }
}

// The shell dialog needs COM on this thread; Qt has usually set it up already, which is fine too. Once started
// here it stays up: the shell keeps objects it made under COM for the next dialog, which would find them dead.
void ensureOle()
{
    thread_local const bool started = SUCCEEDED(OleInitialize(nullptr));
    Q_UNUSED(started);
}

} // namespace

FolderDialogAnswer FolderBrowser::Private::runDialog()
{
    // The shell parses paths through COM objects: COM first.
    ensureOle();
    // Both are resolved before anything is shown: a path the system cannot make absolute raises its error here.
    ItemIdList root(q.rootDir().isEmpty() ? nullptr : parsePath(absolutePath(q.rootDir())));
    ItemIdList initial(q.initialDir().isEmpty() ? nullptr : parsePath(absolutePath(q.initialDir())));
    BrowseSession browse(*this);
    browse.initial = initial.get();

    UINT flags = 0;
    if (q.editBox())
        flags |= BIF_EDITBOX;
    if (q.statusText())
        flags |= BIF_STATUSTEXT;
    if (q.fileSystemOnly())
        flags |= BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
    if (q.validateEditBox())
        flags |= BIF_VALIDATE;
    if (q.useNewUi())
        flags |= BIF_NEWDIALOGSTYLE;

    // The shell fixes the size of this buffer; the name returned is asked for again below without that limit.
    std::vector<wchar_t> displayBuffer(MAX_PATH + 1, L'\0');
    const QString title = q.title();
    BROWSEINFOW info {};
    info.hwndOwner = windowOf(q.owner());
    info.pidlRoot = root.get();
    info.pszDisplayName = displayBuffer.data();
    info.lpszTitle = wide(title);
    info.ulFlags = flags;
    info.lpfn = browseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&browse);

    session = &browse;
    const ItemIdList chosen(SHBrowseForFolderW(&info));
    session = nullptr;

    // Closing on text that names no folder chooses nothing, rather than the folder that happened to be selected.
    if (!chosen.get() || browse.closedOnInvalidText)
        return {};
    FolderDialogAnswer answer;
    answer.path = nativeFolderPath(fileSystemPath(chosen.get()));
    answer.displayName = shellName(chosen.get(), SIGDN_NORMALDISPLAY);
    if (answer.displayName.isEmpty())
        answer.displayName = QString::fromWCharArray(displayBuffer.data());
    return answer;
}

QString FolderBrowser::Private::absolutePath(const QString &path, QString *error) const
{
    const wchar_t *native = wide(path);
    DWORD needed = GetFullPathNameW(native, 0, nullptr, nullptr);
    while (needed != 0) {
        std::vector<wchar_t> buffer(needed, L'\0');
        const DWORD written = GetFullPathNameW(native, needed, buffer.data(), nullptr);
        if (written != 0 && written < needed)
            return QString::fromWCharArray(buffer.data(), static_cast<qsizetype>(written));
        // 0 on failure; more than asked for when the current folder changed in between.
        needed = written;
    }

    if (error) {
        wchar_t *message = nullptr;
        const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                                | FORMAT_MESSAGE_IGNORE_INSERTS,
                                            nullptr, GetLastError(), 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr);
        *error = length ? QString::fromWCharArray(message, static_cast<qsizetype>(length)).trimmed() : QString();
        LocalFree(message);
    }
    return {};
}

QString FolderBrowser::Private::specialFolderPath(int folder) const
{
    ItemIdList item;
    if (FAILED(SHGetSpecialFolderLocation(windowOf(q.owner()), folder, item.receive())))
        return {};
    return nativeFolderPath(fileSystemPath(item.get()));
}

#endif
