// Saves that meet a full disk, read-only files, a vanished folder, links or a kill; unreadable files; backups;
// the stamp that tells another program's change. A failure names the file and the reason and keeps the old file.
#include "configuration.h"
#include "filesafety.h"
#include "filestamp.h"
#include "pathfunctions.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

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

struct stat statOf(const QString &path)
{
    struct stat st
    {
    };
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

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
        if (situation == u"link to a file")
            writeBytes(real, kOld);
        else if (!symbolic)
            writeBytes(m_path, kOld);
        if (symbolic) {
            const QString to = situation.endsWith(u"circle") ? u"twin.ini"_s
                : situation.endsWith(u"missing folder")      ? u"gone/QTA.INI"_s
                                                             : u"real/QTA.INI"_s;
            QVERIFY(QFile::link(to, m_path));
            if (situation.endsWith(u"circle"))
                QVERIFY(QFile::link(u"QTA.INI"_s, twin));
        }
        if (situation.contains(u"hard link"))
            QCOMPARE(::link(qPrintable(m_path), qPrintable(twin)), 0);
        // The mode and, for an administrator, the owner and group a replacement must keep.
        const QString target = symbolic ? real : m_path;
        const bool existed = QFileInfo::exists(target);
        if (existed) {
            QCOMPARE(::chmod(qPrintable(target), 0604), 0);
            if (::geteuid() == 0)
                QCOMPARE(::chown(qPrintable(target), 4321, 4322), 0);
        }

        Configuration config;
        QVERIFY(LoadConfiguration(config, m_work).ok);
        if (situation == u"unchanged") // the file as a save of these lists leaves it
            QVERIFY(SaveConfiguration(config, m_work).ok);
        else
            config.addOns()->appendAddOn(AddOnEntry { u"Edit"_s, u"ed.exe"_s, QString() });
        // What the save gives a plain file of the same content.
        QTemporaryDir plain;
        if (existed)
            writeBytes(plain.filePath(u"QTA.INI"_s), kOld);
        QVERIFY(SaveConfiguration(config, plain.path()).ok);
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
        const ino_t inodeBefore = statOf(m_path).st_ino;

        QStringList questions;
        const ConfigResult result = SaveConfiguration(config, m_work, [&](const QString &path) {
            questions.append(path);
            return true;
        });
        QCOMPARE(result.ok, failure.isEmpty());
        QVERIFY2(result.error.contains(failure) && (failure.isEmpty() || result.error.contains(u'"' + m_path + u'"')),
                 qPrintable(result.error));
        QCOMPARE(questions, asked ? QStringList { m_path } : QStringList());
        QCOMPARE(entries(m_work), entriesBefore); // nothing staged is left, no folder comes back
        if (QFileInfo::exists(m_path))
            QCOMPARE(readBytes(m_path), expected);
        if (situation.contains(u"hard link"))
            QCOMPARE(readBytes(twin), expected);
        if (symbolic)
            QVERIFY(QFileInfo(m_path).isSymLink());
        else if (failure.isEmpty()) // written in place
            QCOMPARE(statOf(m_path).st_ino, inodeBefore);
        if (existed && failure.isEmpty()) {
            const struct stat st = statOf(target);
            QCOMPARE(int(st.st_mode & 07777), 0604);
            if (::geteuid() == 0)
                QCOMPARE(QPair(int(st.st_uid), int(st.st_gid)), QPair(4321, 4322));
        }
    }

    // A real full disk: the helper mounts a 64 KiB tmpfs in a mount namespace of its own, fills it and saves.
    void fullDisk()
    {
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
    }

    // The backup holds the file as it is now and is as private as the file; a missing file has nothing to keep.
    void backup()
    {
        const QString backup = m_path + u".bak"_s;
        QCOMPARE(FileSafety::backupPath(m_path), backup);
        writeBytes(backup, "older");
        QVERIFY(FileSafety::keepBackup(m_path, nullptr));
        QCOMPARE(readBytes(backup), "older");
        writeBytes(m_path, kOld);
        QCOMPARE(::chmod(qPrintable(m_path), 0600), 0);
        QVERIFY(FileSafety::keepBackup(m_path, nullptr));
        QCOMPARE(readBytes(backup), kOld);
        QCOMPARE(int(statOf(backup).st_mode & 07777), 0600);
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
            QCOMPARE(::mkfifo(qPrintable(m_path), 0600), 0);
        else if (QFile file(m_path); !file.open(QIODevice::WriteOnly) || !file.resize(qint64(257) << 20))
            QFAIL("cannot make a large sparse file");
        const struct stat before = statOf(m_path);
        Configuration config;
        SetupButtonImages(config);
        ResetToolbar(config);
        config.addOns()->appendAddOn(AddOnEntry { u"Kept"_s, u"x.exe"_s, u"(none)"_s });
        const QList<ToolbarButtonEntry> buttons = config.toolbar()->entries();
        const ConfigResult loaded = LoadConfiguration(config, m_work);
        QVERIFY(!loaded.ok);
        QVERIFY2(loaded.error.contains(reason) && loaded.error.contains(m_path), qPrintable(loaded.error));
        QCOMPARE(config.addOns()->entries(), (QList<AddOnEntry> { { u"Kept"_s, u"x.exe"_s, u"(none)"_s } }));
        QCOMPARE(config.toolbar()->entries(), buttons);
        QVERIFY(!SaveConfiguration(config, m_work).ok);
        QCOMPARE(QPair(statOf(m_path).st_ino, statOf(m_path).st_size), QPair(before.st_ino, before.st_size));
        QCOMPARE(entries(m_work), (QStringList { u"QTA.INI"_s, u"real"_s }));
        // The picture preview asks before it opens a file: a regular file counts, a pipe never makes it wait.
        QCOMPARE(FileExists(m_path), kind == u"huge");
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
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, qPrintable(m_path), sizeof address.sun_path - 1);
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
            ::close(fd);
        } else {
            writeBytes(m_path, before);
        }
        const FileStamp stamp = FileStamp::of(m_path);
        QCOMPARE(QFile(m_path).open(QIODevice::ReadOnly), before != "socket"); // else the row compares hashes
        if (after.isEmpty()) {
            QVERIFY(QFile::remove(m_path));
        } else if (after != "socket") { // an hour on, or the old time put back as some programs do
            writeBytes(m_path, after);
            QFile file(m_path);
            const QDateTime time = after == before ? stamp.modified().addSecs(3600) : stamp.modified();
            QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFile::FileModificationTime));
        }
        QCOMPARE(FileStamp::of(m_path).changedSince(stamp), changed);
        QCOMPARE(FileStamp::of(m_path, &stamp).changedSince(stamp), changed);
    }

    // A save killed at each write, sync or rename leaves QTA.INI old or new, at most a staged file the next removes.
    void killedAtEachFileStep()
    {
        const QString strace = QStandardPaths::findExecutable(u"strace"_s);
        if (strace.isEmpty() || QProcess::execute(strace, { u"-o"_s, u"/dev/null"_s, u"true"_s }) != 0)
            QSKIP("needs strace, allowed to trace");
        // In memory where the system allows: a kill, not a power cut, counts what the system holds as written.
        if (QFileInfo(u"/dev/shm"_s).isWritable())
            m_dir.reset(new QTemporaryDir(u"/dev/shm/tst_filesafety-XXXXXX"_s));
        QList<QByteArray> contents { kOld }; // then content a and content b, as the helper saves them in turn
        for (const QString &name : { u"a"_s, u"b"_s, u"kills"_s }) {
            QVERIFY(QDir().mkpath(m_dir->filePath(name)));
            writeBytes(m_dir->filePath(name + u"/QTA.INI"_s), kOld);
            if (name.size() == 1 && runHelper(m_dir->filePath(name), name))
                contents.append(readBytes(m_dir->filePath(name + u"/QTA.INI"_s)));
        }
        QCOMPARE(contents.size(), 3);
        const QString folder = m_dir->filePath(u"kills"_s);
        int saved = 0; // kills after a save had replaced the file
        for (const QString &call : { u"write"_s, u"fdatasync"_s, u"linkat"_s, u"rename"_s }) {
            for (int n = 1; n <= 3; ++n) {
                QProcess helper;
                helper.start(strace,
                             { u"-f"_s, u"-o"_s, u"/dev/null"_s, u"-e"_s, u"trace="_s + call, u"-e"_s,
                               u"inject=%1:signal=SIGKILL:when=%2"_s.arg(call).arg(n), QStringLiteral(QTA_SAVE_HELPER),
                               folder, u"loop"_s });
                if (!helper.waitForFinished(10000)) // the call never came (another file system): an ordinary kill
                    helper.kill(), helper.waitForFinished();
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
