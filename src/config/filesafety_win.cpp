// The Windows side of saving: replacing a file by rename, its attributes and its hard links.

#include "filesafety_win.h"

#ifdef Q_OS_WIN

#include <QDir>
#include <qt_windows.h>
#include <string>

namespace {

std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

QString systemMessage(DWORD code)
{
    wchar_t *text = nullptr;
    const DWORD length
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    QString message = length ? QString::fromWCharArray(text, qsizetype(length)).trimmed() : QString();
    LocalFree(text);
    if (message.endsWith(u'.'))
        message.chop(1);
    return message.isEmpty() ? QStringLiteral("system error %1").arg(code) : message;
}

// Whether some program has the file open: then nobody may open it without sharing it.
bool heldOpen(const std::wstring &path)
{
    const HANDLE handle
        = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

constexpr DWORD kKeptAttributes
    = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

} // namespace

namespace FileSafetyWin {

bool replace(const QString &from, const QString &to, QString *why)
{
    const std::wstring target = native(to);
    if (MoveFileExW(native(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD code = GetLastError();
    if (why) {
        // The system says only "access is denied" when another program has the file open.
        if ((code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION) && heldOpen(target))
            *why = QStringLiteral("another program has it open, so it cannot be replaced now; close it there and "
                                  "save again");
        else
            *why = systemMessage(code);
    }
    return false;
}

void takeAttributes(const QString &from, const QString &to)
{
    const DWORD old = GetFileAttributesW(native(from).c_str());
    const DWORD kept = old == INVALID_FILE_ATTRIBUTES ? 0 : (old & kKeptAttributes);
    SetFileAttributesW(native(to).c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL);
}

void hide(const QString &path)
{
    const std::wstring name = native(path);
    const DWORD old = GetFileAttributesW(name.c_str());
    if (old != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(name.c_str(), old | FILE_ATTRIBUTE_HIDDEN);
}

qint64 linkCount(const QString &path)
{
    const HANDLE handle = CreateFileW(native(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return 1;
    BY_HANDLE_FILE_INFORMATION info {};
    const bool known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    return known ? qint64(info.nNumberOfLinks) : 1;
}

} // namespace FileSafetyWin

#endif
