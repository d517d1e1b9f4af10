#pragma once

// Stands in for the desktop's mail program, to see the links the program hands the desktop. On Windows the
// shell itself is asked: the registry names a helper program for "mailto" links, which writes down what the
// shell gave it. Elsewhere Qt's URL handler catches them.

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

class ShellCatcher final : public QObject
{
    Q_OBJECT

public:
    // Returns why catching is not possible here, or an empty string once it catches.
    QString install()
    {
#ifdef Q_OS_WIN
        if (!qEnvironmentVariableIsSet("QTA_TEST_DISPOSABLE_SETTINGS"))
            return u"registers a mail program in the registry; make test-windows runs it in a Wine prefix of its own"_s;
        m_caught = QDir::toNativeSeparators(m_dir.filePath(u"caught.txt"_s));
        const QString helper = QDir::toNativeSeparators(QFileInfo(QStringLiteral(QTA_SHELL_HELPER)).absoluteFilePath());
        const QString command = u"\"%1\" \"%2\" \"%3\""_s.arg(helper, m_caught, u"%1"_s);
        if (!reg({ u"add"_s, kKey, u"/v"_s, u"URL Protocol"_s, u"/d"_s, QString(), u"/f"_s })
            || !reg({ u"add"_s, kKey + u"\\shell\\open\\command"_s, u"/ve"_s, u"/d"_s, command, u"/f"_s }))
            return u"reg.exe could not register the helper"_s;
#else
        QDesktopServices::setUrlHandler(u"mailto"_s, this, "open");
#endif
        return QString();
    }

    void uninstall()
    {
#ifdef Q_OS_WIN
        reg({ u"delete"_s, kKey, u"/f"_s });
#else
        QDesktopServices::unsetUrlHandler(u"mailto"_s);
#endif
    }

    void clear()
    {
        QFile::remove(m_caught);
        m_urls.clear();
    }

    // What the desktop was asked to open since clear(). On Windows the shell starts the helper on its own, so
    // when something is expected this waits for its answer.
    QList<QUrl> caught(bool expected)
    {
#ifdef Q_OS_WIN
        if (expected && !QTest::qWaitFor([this] { return QFile::exists(m_caught); }, 60000))
            return {};
        if (QFile file(m_caught); file.open(QIODevice::ReadOnly))
            m_urls = { QUrl(QString::fromUtf8(file.readAll())) };
#else
        Q_UNUSED(expected);
#endif
        return m_urls;
    }

public Q_SLOTS:
    void open(const QUrl &url)
    {
        m_urls.append(url);
    }

private:
#ifdef Q_OS_WIN
    static bool reg(const QStringList &arguments)
    {
        QProcess process;
        process.start(u"reg.exe"_s, arguments);
        return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }

    const QString kKey = u"HKEY_LOCAL_MACHINE\\Software\\Classes\\mailto"_s;
    QTemporaryDir m_dir;
#endif
    QString m_caught; // where the helper writes what the shell gave it (Windows)
    QList<QUrl> m_urls;
};
