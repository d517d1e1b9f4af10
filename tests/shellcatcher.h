#pragma once

// Stands in for the desktop's mail program and document viewer, to see what the program hands the desktop. On
// Windows the shell itself is asked: the registry names a helper program for "mailto" links and for documents
// of type ".qtatest", and the helper writes down what the shell gave it. Elsewhere Qt's URL handlers catch it.

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#ifdef Q_OS_WIN
#include <QProcess>
#endif

class ShellCatcher final : public QObject
{
    Q_OBJECT

public:
    // Returns why catching is not possible here, or an empty string once it catches.
    QString install()
    {
#ifdef Q_OS_WIN
        if (!qEnvironmentVariableIsSet("QTA_TEST_DISPOSABLE_SETTINGS"))
            return QStringLiteral("registers a mail program and a document type in the registry; make "
                                  "test-windows runs it in a Wine prefix of its own");
        if (!m_dir.isValid())
            return QStringLiteral("no temporary folder");
        m_caught = QDir::toNativeSeparators(QFileInfo(m_dir.filePath(QStringLiteral("caught.txt"))).absoluteFilePath());
        const QString command = QStringLiteral("\"%1\" \"%2\" \"%3\"")
                                    .arg(QDir::toNativeSeparators(QFileInfo(QStringLiteral(QTA_SHELL_HELPER)).absoluteFilePath()),
                                         m_caught, QStringLiteral("%1"));
        const QString classes = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Classes");
        const bool registered
            = reg({ QStringLiteral("add"), classes + QStringLiteral("\\mailto"), QStringLiteral("/v"),
                    QStringLiteral("URL Protocol"), QStringLiteral("/d"), QString(), QStringLiteral("/f") })
            && reg({ QStringLiteral("add"), classes + QStringLiteral("\\mailto\\shell\\open\\command"),
                     QStringLiteral("/ve"), QStringLiteral("/d"), command, QStringLiteral("/f") })
            && reg({ QStringLiteral("add"), classes + QStringLiteral("\\.qtatest"), QStringLiteral("/ve"),
                     QStringLiteral("/d"), QStringLiteral("qtatestfile"), QStringLiteral("/f") })
            && reg({ QStringLiteral("add"), classes + QStringLiteral("\\qtatestfile\\shell\\open\\command"),
                     QStringLiteral("/ve"), QStringLiteral("/d"), command, QStringLiteral("/f") });
        return registered ? QString() : QStringLiteral("reg.exe could not register the helper");
#else
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
        return QString();
#endif
    }

    void uninstall()
    {
#ifdef Q_OS_WIN
        for (const char *key : { "\\mailto", "\\.qtatest", "\\qtatestfile" })
            reg({ QStringLiteral("delete"), QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Classes") + QLatin1String(key),
                  QStringLiteral("/f") });
#else
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
#endif
    }

    void clear()
    {
#ifdef Q_OS_WIN
        QFile::remove(m_caught);
#else
        m_urls.clear();
#endif
    }

    // What the desktop was asked to open since clear(). On Windows the shell starts the helper on its own, so
    // when something is expected this waits for its answer.
    QList<QUrl> caught(bool expected)
    {
#ifdef Q_OS_WIN
        if (expected && !QTest::qWaitFor([this] { return QFile::exists(m_caught); }, 60000))
            return {};
        QFile file(m_caught);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QString item = QString::fromUtf8(file.readAll());
        if (item.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive))
            return { QUrl(item) };
        return { QUrl::fromLocalFile(QDir::fromNativeSeparators(item)) };
#else
        Q_UNUSED(expected);
        return m_urls;
#endif
    }

public Q_SLOTS:
    void open(const QUrl &url) { m_urls.append(url); }

private:
#ifdef Q_OS_WIN
    static bool reg(const QStringList &arguments)
    {
        QProcess process;
        process.start(QStringLiteral("reg.exe"), arguments);
        return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    QString m_caught; // where the helper writes what the shell gave it
#endif
    QList<QUrl> m_urls;
};
