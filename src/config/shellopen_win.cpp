// Opening documents and "MailTo:" links on Windows: the shell's own open action, as Explorer does it.

#include "shellopen.h"

#ifdef Q_OS_WIN

#include <QDir>
#include <QFileInfo>
#include <qt_windows.h>
#include <shellapi.h>

bool shellOpen(const QString &target)
{
    const QString text = target.trimmed();
    if (text.isEmpty())
        return false;
    // The shell knows the scheme in any letter case; anything else is a document, made absolute since the shell
    // does not share our working folder.
    const bool mail = text.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive);
    const QString item = mail ? text : QDir::toNativeSeparators(QFileInfo(text).absoluteFilePath());
    const HINSTANCE result = ShellExecuteW(nullptr, nullptr, reinterpret_cast<const wchar_t *>(item.utf16()), nullptr,
                                           nullptr, SW_SHOWNORMAL);
    // Success is any value above 32.
    return reinterpret_cast<quintptr>(result) > 32;
}

#endif
