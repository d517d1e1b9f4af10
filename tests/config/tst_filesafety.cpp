// Saves that meet a full disk, read-only files, a vanished folder, links or a kill; unreadable files; backups;
// the stamp that tells another program's change. A failure names the file and the reason and keeps the old file.
#include "configuration.h"
#include "filesafety.h"
#include "filestamp.h"
#include "pathfunctions.h"
#include "testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cstring>
#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QByteArray kOld = "; host file\r\n[Main]\r\nFont=Courier\r\n[Addons]\r\nCalc=calc.exe\r\n[Window]\r\nLeft=3\r\n";

QStringList entries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

bool runHelper(const QString &folder, const QString &mode)
{
    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper.start(QStringLiteral(QTA_SAVE_HELPER), { folder, mode });
    return helper.waitForFinished(30000) && helper.exitStatus() == QProcess::NormalExit && helper.exitCode() == 0;
}

#ifdef Q_OS_WIN
std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// Which file a name leads to: the same number after a write in place, another one after a replacement.
quint64 fileId(const QString &path)
{
    const HANDLE file = CreateFileW(native(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info {};
    const bool known = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return known ? (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow : 0;
}

// The attributes a save keeps, which the staged copy's hidden mark must not join.
DWORD marksOf(const QString &path)
{
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    return GetFileAttributesW(native(path).c_str()) & kept;
}

// QFile::link makes a shortcut here, not a link: the system is asked, and Wine answers yes and makes none.
bool symbolicLink(const QString &target, const QString &link)
{
    CreateSymbolicLinkW(native(link).c_str(), native(target).c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    return QFileInfo(link).isSymLink();
}

bool hardLink(const QString &existing, const QString &link)
{
    return CreateHardLinkW(native(link).c_str(), native(existing).c_str(), nullptr);
}
#else
struct stat statOf(const QString &path)
{
    struct stat st
    {
    };
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

quint64 fileId(const QString &path)
{
    return statOf(path).st_ino;
}

bool symbolicLink(const QString &target, const QString &link)
{
    return QFile::link(target, link);
}

bool hardLink(const QString &existing, const QString &link)
{
    return ::link(qPrintable(existing), qPrintable(link)) == 0;
}
#endif

} // namespace

class tst_FileSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        m_work = m_dir->filePath(u"work"_s);
        m_path = m_work + u"/QTA.INI"_s;
        QVERIFY(QDir().mkpath(m_work + u"/real"_s));
    }

    void cleanup()
    {
        QFile::setPermissions(m_work, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        FileSafety::setWriteLimitForTesting(-1);
        m_dir.reset();
    }

    void save_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("failure"); // a part of the error; empty when the save must succeed
        QTest::addColumn<bool>("asked"); // whether the save came to the point of writing (questions, backup)

        QTest::addRow("short write") << u"short write"_s << u"disk is full"_s << true;
        QTest::addRow("short write, hard-linked file")
            << u"short write, hard link"_s << u"old content was written back"_s << true;
        // A backup only before a write that will happen: none beside a file that cannot be written.
        QTest::addRow("read-only file") << u"read-only file"_s << u"the file is read-only"_s << false;
        QTest::addRow("read-only file and folder")
            << u"read-only file, read-only folder"_s << u"the file is read-only"_s << false;
        QTest::addRow("folder gone after loading") << u"folder gone"_s << u"does not exist"_s << false;
        QTest::addRow("link into a missing folder") << u"link into a missing folder"_s << u"does not exist"_s << false;
        QTest::addRow("links in a circle") << u"link in a circle"_s << u"circle"_s << false;
        QTest::addRow("nothing to change") << u"unchanged"_s << QString() << false;
        QTest::addRow("read-only folder, writable file") << u"read-only folder"_s << QString() << true;
        QTest::addRow("plain file, replaced") << u"plain"_s << QString() << true;
#ifdef Q_OS_WIN
        QTest::addRow("hidden system file, replaced") << u"plain, hidden"_s << QString() << true;
#endif
        QTest::addRow("file with a second hard link") << u"hard link"_s << QString() << true;
        QTest::addRow("symbolic link to a file") << u"link to a file"_s << QString() << true;
        QTest::addRow("dangling symbolic link") << u"link to nothing"_s << QString() << true;
    }

    void save()
    {
        QFETCH(QString, situation);
        QFETCH(QString, failure);
        QFETCH(bool, asked);

        const QString real = m_work + u"/real/QTA.INI"_s;
        const QString twin = m_work + u"/twin.ini"_s;
        const bool symbolic = situation.startsWith(u"link");
#ifdef Q_OS_WIN
        if (situation.contains(u"read-only folder"))
            QSKIP("Windows ignores a folder's read-only mark: new files may be made in it");
#endif
        if (situation == u"link to a file")
            writeBytes(real, kOld);
        else if (!symbolic)
            writeBytes(m_path, kOld);
        if (symbolic) {
            const QString to = situation.endsWith(u"circle") ? u"twin.ini"_s
                : situation.endsWith(u"missing folder")      ? u"gone/QTA.INI"_s
                                                             : u"real/QTA.INI"_s;
            if (!symbolicLink(to, m_path))
                QSKIP("cannot create a symbolic link here (Windows needs the right to, Wine makes none)");
            if (situation.endsWith(u"circle"))
                QVERIFY(symbolicLink(u"QTA.INI"_s, twin));
        }
        if (situation.contains(u"hard link"))
            QVERIFY(hardLink(m_path, twin));
        // The mode and, for an administrator, the owner and group a replacement must keep; Windows' attributes.
        const QString target = symbolic ? real : m_path;
        const bool existed = QFileInfo::exists(target);
#ifdef Q_OS_WIN
        // Archive in each: Wine gives it to every file.
        const DWORD marks = FILE_ATTRIBUTE_ARCHIVE
            | (situation.endsWith(u"hidden") ? FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM : 0);
        if (existed && (!SetFileAttributesW(native(target).c_str(), marks) || marksOf(target) != marks))
            QSKIP("this file system does not keep these attributes");
#else
        if (existed) {
            QCOMPARE(::chmod(qPrintable(target), 0604), 0);
            if (::geteuid() == 0)
                QCOMPARE(::chown(qPrintable(target), 4321, 4322), 0);
        }
#endif

        Configuration config;
        QVERIFY(LoadConfiguration(config, m_work));
        if (situation == u"unchanged") // the file as a save of these lists leaves it
            QVERIFY(SaveConfiguration(config, m_work));
        else
            config.addOns()->appendAddOn(AddOnEntry { u"Edit"_s, u"ed.exe"_s, QString() });
        // What the save gives a plain file of the same content.
        QTemporaryDir plain;
        if (existed)
            writeBytes(plain.filePath(u"QTA.INI"_s), kOld);
        QVERIFY(SaveConfiguration(config, plain.path()));
        const QByteArray expected = failure.isEmpty() ? readBytes(plain.filePath(u"QTA.INI"_s)) : kOld;

        if (situation.startsWith(u"short write"))
            FileSafety::setWriteLimitForTesting(20);
        if (situation.startsWith(u"read-only file"))
            QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        if (situation.endsWith(u"read-only folder"))
            QVERIFY(QFile::setPermissions(m_work, QFile::ReadOwner | QFile::ExeOwner));
        if (situation == u"folder gone")
            QVERIFY(QDir(m_work).removeRecursively());
        const QStringList entriesBefore = entries(m_work);
        const quint64 idBefore = fileId(m_path);

        QStringList questions;
        QString error;
        const bool saved = SaveConfiguration(config, m_work, &error, [&](const QString &path) {
            questions.append(path);
            return true;
        });
        QCOMPARE(saved, failure.isEmpty());
        const QString named = u'"' + QDir::toNativeSeparators(m_path) + u'"';
        QVERIFY2(error.contains(failure) && (failure.isEmpty() || error.contains(named)), qPrintable(error));
        QCOMPARE(questions.replaceInStrings(u"\\"_s, u"/"_s), asked ? QStringList { m_path } : QStringList());
        QCOMPARE(entries(m_work), entriesBefore); // nothing staged is left, no folder comes back
        if (QFileInfo::exists(m_path))
            QCOMPARE(readBytes(m_path), expected);
        if (situation.contains(u"hard link"))
            QCOMPARE(readBytes(twin), expected);
        if (symbolic)
            QVERIFY(QFileInfo(m_path).isSymLink());
        else if (failure.isEmpty() && !situation.startsWith(u"plain")) // written in place
            QCOMPARE(fileId(m_path), idBefore);
        if (existed && failure.isEmpty()) {
#ifdef Q_OS_WIN
            QCOMPARE(marksOf(target), marks);
#else
            const struct stat st = statOf(target);
            QCOMPARE(int(st.st_mode & 07777), 0604);
            if (::geteuid() == 0)
                QCOMPARE(QPair(int(st.st_uid), int(st.st_gid)), QPair(4321, 4322));
#endif
        }
    }

    // A real full disk: the helper mounts a 64 KiB tmpfs in a mount namespace of its own, fills it and saves.
    void fullDisk()
    {
#ifndef Q_OS_LINUX
        QSKIP("a real full disk is a small file system mounted for the test, which needs Linux");
#else
        const QString unshare = QStandardPaths::findExecutable(u"unshare"_s);
        if (unshare.isEmpty())
            QSKIP("no unshare program to give the helper a mount namespace of its own");
        const QString mountPoint = m_dir->filePath(u"disk"_s);
        QVERIFY(QDir().mkpath(mountPoint));
        // An administrator mounts in a namespace of its own; anybody else in a user namespace.
        const QStringList way = ::geteuid() == 0 ? QStringList { u"--mount"_s }
                                                 : QStringList { u"--user"_s, u"--map-root-user"_s, u"--mount"_s };
        QProcess helper;
        helper.start(unshare,
                     way
                         + QStringList { u"--propagation"_s, u"private"_s, QStringLiteral(QTA_SAVE_HELPER), mountPoint,
                                         u"full"_s });
        QVERIFY(helper.waitForFinished(60000));
        const QString report = QString::fromLocal8Bit(helper.readAllStandardOutput());
        if (helper.exitCode() == 77)
            QSKIP(qPrintable(u"mounting a small file system is not allowed here: "_s + report));
        QVERIFY2(report.startsWith(u"saved: no\n"_s)
                     && report.contains(u"Could not save \""_s + mountPoint + u"/QTA.INI\": No space left on device"_s)
                     && report.endsWith(u"the file was left as it was.\nintact: yes\nentries: filler QTA.INI\n"_s),
                 qPrintable(report + QString::fromLocal8Bit(helper.readAllStandardError())));
#endif
    }

    // The backup holds the file as it is now and is as private as the file; a missing file has nothing to keep.
    void backup()
    {
        const QString backup = m_path + u".bak"_s;
        writeBytes(backup, "older");
        QVERIFY(FileSafety::keepBackup(m_path, nullptr));
        QCOMPARE(readBytes(backup), "older");
        writeBytes(m_path, kOld);
#ifndef Q_OS_WIN // no mode there
        QCOMPARE(::chmod(qPrintable(m_path), 0600), 0);
#endif
        QVERIFY(FileSafety::keepBackup(m_path, nullptr));
        QCOMPARE(readBytes(backup), kOld);
#ifndef Q_OS_WIN
        QCOMPARE(int(statOf(backup).st_mode & 07777), 0600);
#endif
    }

    // QTA, or an editor, may have the file open while the user saves. The file is replaced in one step or not at
    // all: the program that has it open keeps reading the old bytes whole, and a refused save says why.
    void heldOpenElsewhere()
    {
        writeBytes(m_path, kOld);
        const QByteArray fresh = kOld + "Edit=ed.exe\r\n";
        QString error;
#ifdef Q_OS_WIN
        // Shared for reading and writing, not for deleting, as QTA and most editors open it: not to be replaced.
        const HANDLE other = CreateFileW(native(m_path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr);
        QVERIFY(other != INVALID_HANDLE_VALUE);
        const bool saved = FileSafety::writeFile(m_path, fresh, &error);
        CloseHandle(other);
        QVERIFY(!saved);
        QVERIFY2(error.contains(u"another program has it open"_s) && error.contains(QDir::toNativeSeparators(m_path)),
                 qPrintable(error));
        QCOMPARE(readBytes(m_path), kOld);
#else
        QFile other(m_path);
        QVERIFY(other.open(QIODevice::ReadOnly));
        QVERIFY2(FileSafety::writeFile(m_path, fresh, &error), qPrintable(error));
        QCOMPARE(other.readAll(), kOld);
        QCOMPARE(readBytes(m_path), fresh);
#endif
        QCOMPARE(entries(m_work), (QStringList { u"QTA.INI"_s, u"real"_s }));
    }

    // A file that cannot be read as settings: the lists stay as they were, and a save does not write over it.
    void readRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::addRow("a folder in the file's place") << u"folder"_s << u"it is a folder"_s;
        QTest::addRow("a pipe, which would block the read") << u"pipe"_s << u"not a regular file"_s;
        QTest::addRow("257 MB, beyond the line model") << u"huge"_s << u"too large"_s;
    }

    void readRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);

        if (kind == u"folder")
            QVERIFY(QDir().mkpath(m_path));
        else if (kind == u"pipe")
#ifdef Q_OS_WIN
            QSKIP("Windows keeps its named pipes apart from folders: none can be named QTA.INI");
#else
            QCOMPARE(::mkfifo(qPrintable(m_path), 0600), 0);
#endif
        else if (QFile file(m_path); !file.open(QIODevice::WriteOnly) || !file.resize(qint64(257) << 20))
            QFAIL("cannot make a large sparse file");
        const QPair<quint64, qint64> before(fileId(m_path), QFileInfo(m_path).size());
        Configuration config;
        SetupButtonImages(config);
        ResetToolbar(config);
        config.addOns()->appendAddOn(AddOnEntry { u"Kept"_s, u"x.exe"_s, u"(none)"_s });
        const QList<ToolbarButtonEntry> buttons = config.toolbar()->entries();
        QString error;
        QVERIFY(!LoadConfiguration(config, m_work, &error));
        QVERIFY2(error.contains(reason) && error.contains(QDir::toNativeSeparators(m_path)), qPrintable(error));
        QCOMPARE(config.addOns()->entries(), (QList<AddOnEntry> { { u"Kept"_s, u"x.exe"_s, u"(none)"_s } }));
        QCOMPARE(config.toolbar()->entries(), buttons);
        QVERIFY(!SaveConfiguration(config, m_work));
        QCOMPARE(QPair(fileId(m_path), QFileInfo(m_path).size()), before);
        QCOMPARE(entries(m_work), (QStringList { u"QTA.INI"_s, u"real"_s }));
        // The picture preview asks before it opens a file: a regular file counts, a pipe never makes it wait.
        QCOMPARE(fileExists(m_path), kind == u"huge");
    }

    // Whether the file changed since a stamp: its bytes count, not its times.
    void stamp_data()
    {
        QTest::addColumn<QByteArray>("before"); // "socket": a file that cannot be read
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<bool>("changed");
        QTest::addRow("same bytes, new time") << kOld << kOld << false;
        QTest::addRow("same size and time, other bytes") << kOld << QByteArray(kOld).replace("Calc", "Calx") << true;
        QTest::addRow("deleted") << kOld << QByteArray() << true;
        QTest::addRow("unreadable, untouched") << QByteArray("socket") << QByteArray("socket") << false;
    }

    void stamp()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(bool, changed);

        if (before == "socket") {
#ifdef Q_OS_WIN
            QSKIP("a file nobody may read is a Unix socket here; Windows keeps none in its folders");
#else
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, qPrintable(m_path), sizeof address.sun_path - 1);
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
            ::close(fd);
#endif
        } else {
            writeBytes(m_path, before);
        }
        // The stamp a load keeps, made from the bytes it read.
        const FileStamp stamp = before == "socket" ? FileStamp::read(m_path) : FileStamp::forBytes(m_path, before);
        const QDateTime modified = QFileInfo(m_path).lastModified();
        QCOMPARE(QFile(m_path).open(QIODevice::ReadOnly), before != "socket"); // else the row compares bytes
        if (after.isEmpty()) {
            QVERIFY(QFile::remove(m_path));
        } else if (after != "socket") { // an hour on, or the old time put back as some programs do
            writeBytes(m_path, after);
            QFile file(m_path);
            const QDateTime time = after == before ? modified.addSecs(3600) : modified;
            QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFile::FileModificationTime));
        }
        QCOMPARE(FileStamp::read(m_path).changedSince(stamp), changed);
        QCOMPARE(FileStamp::read(m_path, &stamp).changedSince(stamp), changed);
    }

    // A save killed at each write, sync or rename leaves QTA.INI old or new, at most a staged file the next removes.
    // Windows has no tool that stops a program at a chosen call: there the kills come at random moments.
    void killedAtEachFileStep()
    {
#ifdef Q_OS_WIN
        const QStringList calls { u"a random moment"_s };
        const int kills = 30;
        QRandomGenerator random(20240611);
#else
        const QString strace = QStandardPaths::findExecutable(u"strace"_s);
        if (strace.isEmpty() || QProcess::execute(strace, { u"-o"_s, u"/dev/null"_s, u"true"_s }) != 0)
            QSKIP("needs strace, allowed to trace");
        const QStringList calls { u"write"_s, u"fdatasync"_s, u"linkat"_s, u"rename"_s };
        const int kills = 3;
#endif
        // In memory where the system allows: a kill, not a power cut, counts what the system holds as written.
        if (QFileInfo(u"/dev/shm"_s).isWritable())
            m_dir.reset(new QTemporaryDir(u"/dev/shm/tst_filesafety-XXXXXX"_s));
        QList<QByteArray> contents { kOld }; // then content a and content b, as the helper saves them in turn
        QElapsedTimer cycle; // a start and a save of each
        cycle.start();
        for (const QString &name : { u"a"_s, u"b"_s, u"kills"_s }) {
            QVERIFY(QDir().mkpath(m_dir->filePath(name)));
            writeBytes(m_dir->filePath(name + u"/QTA.INI"_s), kOld);
            if (name.size() == 1 && runHelper(m_dir->filePath(name), name))
                contents.append(readBytes(m_dir->filePath(name + u"/QTA.INI"_s)));
        }
        QCOMPARE(contents.size(), 3);
        const qint64 milliseconds = cycle.elapsed();
        const QString folder = m_dir->filePath(u"kills"_s);
        int saved = 0; // kills after a save had replaced the file
        for (const QString &call : calls) {
            for (int n = 1; n <= kills; ++n) {
                QProcess helper;
#ifdef Q_OS_WIN
                helper.start(QStringLiteral(QTA_SAVE_HELPER), { folder, u"loop"_s });
                QVERIFY(helper.waitForStarted());
                QThread::msleep(random.bounded(quint32(milliseconds)));
                helper.kill(); // TerminateProcess: no handler, no clean-up
                helper.waitForFinished();
#else
                Q_UNUSED(milliseconds);
                helper.start(strace,
                             { u"-f"_s, u"-o"_s, u"/dev/null"_s, u"-e"_s, u"trace="_s + call, u"-e"_s,
                               u"inject=%1:signal=SIGKILL:when=%2"_s.arg(call).arg(n), QStringLiteral(QTA_SAVE_HELPER),
                               folder, u"loop"_s });
                if (!helper.waitForFinished(10000)) // the call never came (another file system): an ordinary kill
                    helper.kill(), helper.waitForFinished();
#endif
                const QString when = u"killed at %1 number %2: "_s.arg(call).arg(n);
                const QByteArray now = readBytes(folder + u"/QTA.INI"_s);
                QVERIFY2(contents.contains(now), qPrintable(when + u"QTA.INI is neither old nor new"_s));
                saved += contents.indexOf(now) > 0;
                for (const QString &name : entries(folder)) {
                    QVERIFY2(name == u"QTA.INI"_s || name.startsWith(u".QTA.INI.qtaedit-"_s),
                             qPrintable(when + name + u" was left beside QTA.INI"_s));
                }
            }
        }
        QVERIFY(saved > 0);
        QVERIFY(runHelper(folder, readBytes(folder + u"/QTA.INI"_s) == contents[1] ? u"b"_s : u"a"_s));
        QCOMPARE(entries(folder), QStringList { u"QTA.INI"_s });
    }

private:
    QScopedPointer<QTemporaryDir> m_dir;
    QString m_work;
    QString m_path; // QTA.INI in m_work
};

QTEST_GUILESS_MAIN(tst_FileSafety)
#include "tst_filesafety.moc"
