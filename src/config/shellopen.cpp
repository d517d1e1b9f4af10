// Opening documents and links through the desktop, on every system but Windows (shellopen_win.cpp there).

#include "shellopen.h"

#ifndef Q_OS_WIN

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

bool shellOpen(const QString &target)
{
    const QString text = target.trimmed();
    if (text.isEmpty())
        return false;
    static const QString mailScheme = QStringLiteral("mailto");
    if (text.startsWith(mailScheme + u':', Qt::CaseInsensitive)) {
        QUrl url(text, QUrl::TolerantMode);
        // The registered handlers are looked up by the scheme as written; spell it the one way.
        url.setScheme(mailScheme);
        return QDesktopServices::openUrl(url);
    }
    // Anything else is a document: made absolute, since the desktop does not share our working folder.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath()));
}

#endif
