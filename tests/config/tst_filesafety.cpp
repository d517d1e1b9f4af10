#include "filesafety.h"
#include "filestamp.h"
#include "inifile.h"
#include "testfiles.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif
#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QByteArray kOld = "; host file\r\n[Main]\r\nFont=Courier\r\n[Addons]\r\nCalc=calc.exe\r\n";
const QByteArray kNew = kOld + "Edit=ed.exe\r\n";

QStringList folderEntries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// The marks of a file that a save keeps: its Unix mode, or Windows' hidden, system and archive attributes.
int marksOf(const QString &path)
{
#ifdef Q_OS_WIN
    const QString native = QDir::toNativeSeparators(path);
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t *>(native.utf16()));
    return attributes == INVALID_FILE_ATTRIBUTES
        ? -1
        : int(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
#else
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
#endif
}

bool setMarks(const QString &path, int marks)
{
#ifdef Q_OS_WIN
    return SetFileAttributesW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()), DWORD(marks));
#else
    return ::chmod(QFile::encodeName(path).constData(), mode_t(marks)) == 0;
#endif
}

// Sets a Unix mode; Windows keeps only its read-only mark (no owner write bit).
bool setMode(const QString &path, int mode)
{
#ifdef Q_OS_UNIX
    return ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
#else
    return QFile::setPermissions(path, (mode & 0200) ? QFile::ReadOwner | QFile::WriteOwner : QFile::ReadOwner);
#endif
}

// The immutable attribute stops even root from changing a file or a folder's entries.
bool setImmutable(const QString &path, bool on)
{
#ifdef Q_OS_LINUX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
#else
    Q_UNUSED(path);
    Q_UNUSED(on);
    return false;
#endif
}

// A symbolic link at link to target (relative to the link's folder). Windows' QFile::link makes a shortcut
// instead, so the system is asked there; Wine answers yes and makes nothing, which the check catches.
bool makeSymbolicLink(const QString &target, const QString &link)
{
#ifdef Q_OS_WIN
    CreateSymbolicLinkW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(link).utf16()),
                        reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(target).utf16()),
                        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    return QFileInfo(link).isSymLink();
#else
    return QFile::link(target, link);
#endif
}

// Adds "Edit=ed.exe" to the file's [Addons], by a whole-file write or through the INI layer.
bool write(bool viaIniWriteKey, const QString &path, QString *error)
{
    if (!viaIniWriteKey)
        return FileSafety::writeFile(path, kNew, error);
    IniRegister(u"Addons"_s, path);
    return IniWriteKey(u"Edit"_s, u"ed.exe"_s, error) != 0;
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
        QVERIFY(QDir().mkpath(m_work));
        m_path = m_work + u"/QTA.INI"_s;
    }

    void cleanup()
    {
        for (const QString &path : std::as_const(m_immutable))
            setImmutable(path, false);
        m_immutable.clear();
        QFile::setPermissions(m_work, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        FileSafety::setWriteLimitForTesting(-1);
        m_dir.reset();
    }

    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<bool>("viaIniWriteKey");
        for (const char *failure :
             {"read-only file", "read-only folder, new file", "immutable file", "missing folder", "short write"}) {
            QTest::addRow("%s, writeFile", failure) << QString::fromLatin1(failure) << false;
            QTest::addRow("%s, IniWriteKey", failure) << QString::fromLatin1(failure) << true;
        }
    }

    void failedWriteKeepsOldFile()
    {
        QFETCH(QString, failure);
        QFETCH(bool, viaIniWriteKey);
        QString path = m_path;
        writeBytes(path, kOld);
        if (failure == u"read-only file") {
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        } else if (failure == u"read-only folder, new file") {
#ifdef Q_OS_WIN
            QSKIP("Windows ignores a folder's read-only mark: new files may be made in it");
#endif
            path = m_work + u"/new.ini"_s;
            QVERIFY(QFile::setPermissions(m_work, QFile::ReadOwner | QFile::ExeOwner));
        } else if (failure == u"immutable file") {
            if (!setImmutable(path, true))
                QSKIP("cannot set the immutable attribute here (needs Linux, a file system that has it and the right)");
            m_immutable.append(path);
        } else if (failure == u"missing folder") {
            path = m_work + u"/missing/QTA.INI"_s;
        } else {
            FileSafety::setWriteLimitForTesting(10);
        }
        const QStringList entriesBefore = folderEntries(m_work);

        QString error;
        QVERIFY(!write(viaIniWriteKey, path, &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
        QCOMPARE(folderEntries(m_work), entriesBefore);
        if (path == m_path)
            QCOMPARE(readBytes(path), kOld);
        else // neither the new file nor the missing folder was made
            QVERIFY(!QFileInfo::exists(path) && !QFileInfo::exists(m_work + u"/missing"_s));
    }

    void writesThroughSymbolicLink_data()
    {
        QTest::addColumn<bool>("viaIniWriteKey");
        QTest::addRow("writeFile") << false;
        QTest::addRow("IniWriteKey") << true;
    }

    void writesThroughSymbolicLink()
    {
        QFETCH(bool, viaIniWriteKey);
        QVERIFY(QDir(m_work).mkdir(u"real"_s));
        const QString target = m_work + u"/real/QTA.INI"_s;
        writeBytes(target, kOld);
        if (!makeSymbolicLink(u"real/QTA.INI"_s, m_path))
            QSKIP("cannot create a symbolic link here (Windows needs the right to, Wine makes none)");

        QString error;
        QVERIFY2(write(viaIniWriteKey, m_path, &error), qPrintable(error));
        QCOMPARE(readBytes(target), kNew);
        const QFileInfo info(m_path);
        QVERIFY(info.isSymLink());
        QCOMPARE(info.symLinkTarget(), QFileInfo(target).absoluteFilePath());
        QCOMPARE(folderEntries(m_work), (QStringList{u"QTA.INI"_s, u"real"_s}));
        QCOMPARE(folderEntries(m_work + u"/real"_s), QStringList{u"QTA.INI"_s});
    }

    void permissionsKept_data()
    {
        QTest::addColumn<int>("marks");
#ifdef Q_OS_WIN
        // Archive in each: Wine gives it to every file. The plain file must not stay hidden like the staged copy.
        QTest::addRow("hidden") << int(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
        QTest::addRow("hidden system file")
            << int(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        QTest::addRow("plain file") << int(FILE_ATTRIBUTE_ARCHIVE);
#else
        for (const int mode : {0640, 0600, 0604, 0664})
            QTest::addRow("0%o", mode) << mode;
#endif
    }

    void permissionsKept()
    {
        QFETCH(int, marks);
        writeBytes(m_path, kOld);
        QVERIFY(setMarks(m_path, marks));
        if (marksOf(m_path) != marks)
            QSKIP("this file system does not keep these marks (Wine keeps Windows' attributes in extended ones)");

        QString error;
        QVERIFY2(FileSafety::writeFile(m_path, kOld + "; more\r\n", &error), qPrintable(error));
        QCOMPARE(marksOf(m_path), marks);
        QVERIFY2(write(true, m_path, &error), qPrintable(error));
        QCOMPARE(marksOf(m_path), marks);
        QCOMPARE(readBytes(m_path), QByteArray(kOld + "; more\r\nEdit=ed.exe\r\n"));
        QCOMPARE(folderEntries(m_work), QStringList{u"QTA.INI"_s});
    }

    // Saving as an administrator must not take the file from its owner.
    void ownerKept()
    {
#ifdef Q_OS_UNIX
        if (::geteuid() != 0)
            QSKIP("only an administrator can give a file to another user");
        writeBytes(m_path, kOld);
        QCOMPARE(::chown(qPrintable(m_path), 4321, 4322), 0);
        QString error;
        QVERIFY2(FileSafety::writeFile(m_path, kNew, &error), qPrintable(error));
        struct stat st
        {
        };
        QCOMPARE(::stat(qPrintable(m_path), &st), 0);
        QCOMPARE(QPair(int(st.st_uid), int(st.st_gid)), QPair(4321, 4322));
#else
        QSKIP("owners and groups are a Unix matter");
#endif
    }

    void backup_data()
    {
        QTest::addColumn<QString>("name"); // empty: no file
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("backupMode");
        QTest::addRow("private file, older backup replaced") << u"QTA.INI"_s << 0600 << 0600;
        QTest::addRow("lower-case name kept") << u"qta.ini"_s << 0640 << 0640;
        QTest::addRow("read-only file, backup stays replaceable") << u"QTA.INI"_s << 0444 << 0644;
        QTest::addRow("no file, older backup left alone") << QString() << 0 << 0600;
    }

    void backup()
    {
        QFETCH(QString, name);
        QFETCH(int, mode);
        const QString path = m_work + u'/' + (name.isEmpty() ? u"QTA.INI"_s : name);
        const QString backup = path + u".bak"_s;
        QCOMPARE(FileSafety::backupPath(path), backup);
        writeBytes(backup, "older");
        QVERIFY(setMode(backup, 0600));
        if (!name.isEmpty()) {
            writeBytes(path, kOld);
            QVERIFY(setMode(path, mode));
        }
        for (int round = 0; round < 2; ++round) { // the second replaces the first
            QString error;
            QVERIFY2(FileSafety::keepBackup(path, &error), qPrintable(error));
        }
        QCOMPARE(readBytes(backup), name.isEmpty() ? QByteArray("older") : kOld);
#ifdef Q_OS_UNIX
        QTEST(marksOf(backup), "backupMode");
#else
        QVERIFY(QFileInfo(backup).isWritable());
#endif
    }

    void heldOpenElsewhere_data()
    {
        QTest::addColumn<int>("sharing"); // what the other program lets others do with the file (Windows)
        QTest::addColumn<int>("replaced"); // 0: must be refused, 1: must be replaced, -1: either
#ifdef Q_OS_WIN
        QTest::addRow("open for reading, shared for reading") << int(FILE_SHARE_READ) << 0;
        QTest::addRow("open for reading, shared for writing") << int(FILE_SHARE_READ | FILE_SHARE_WRITE) << 0;
        // Windows 10 replaces a file opened this way; earlier systems and Wine refuse.
        QTest::addRow("open for reading, shared for deleting")
            << int(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE) << -1;
#else
        QTest::addRow("open for reading") << 0 << 1;
#endif
    }

    // QTA, or an editor, may have the file open while the user saves. The file is replaced in one step or not at
    // all: the program that has it open keeps reading the old bytes whole, and a refused save says why.
    void heldOpenElsewhere()
    {
        QFETCH(int, sharing);
        QFETCH(int, replaced);
        writeBytes(m_path, kOld);
        // Sharing is decided for each open handle, so one of ours stands for the other program's.
#ifdef Q_OS_WIN
        const HANDLE other = CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(m_path).utf16()),
                                         GENERIC_READ, DWORD(sharing), nullptr, OPEN_EXISTING, 0, nullptr);
        QVERIFY(other != INVALID_HANDLE_VALUE);
        const auto closeOther = qScopeGuard([other] { CloseHandle(other); });
        const auto readOther = [other] {
            QByteArray bytes(4096, '\0');
            DWORD read = 0;
            SetFilePointer(other, 0, nullptr, FILE_BEGIN);
            return ReadFile(other, bytes.data(), DWORD(bytes.size()), &read, nullptr) ? bytes.left(read)
                                                                                      : QByteArray();
        };
#else
        Q_UNUSED(sharing);
        QFile other(m_path);
        QVERIFY(other.open(QIODevice::ReadOnly));
        const auto readOther = [&other] { return other.seek(0) ? other.readAll() : QByteArray(); };
#endif

        QString error;
        const bool saved = FileSafety::writeFile(m_path, kNew, &error);
        if (replaced >= 0)
            QCOMPARE(saved, bool(replaced));
        QCOMPARE(folderEntries(m_work), QStringList{u"QTA.INI"_s});
        QCOMPARE(readOther(), kOld);
        if (saved) {
            QCOMPARE(readBytes(m_path), kNew);
        } else {
            QCOMPARE(readBytes(m_path), kOld);
            QVERIFY2(error.contains(u"another program has it open"_s), qPrintable(error));
            QVERIFY2(error.contains(QDir::toNativeSeparators(m_path)), qPrintable(error));
        }
    }

    void stampChanged_data()
    {
        QTest::addColumn<QByteArray>("before"); // "-": no file
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<bool>("changed");
        QTest::addRow("same bytes written again") << kOld << kOld << false;
        QTest::addRow("same size and time, other bytes") << kOld << QByteArray(kOld).replace("Calc", "Calx") << true;
        QTest::addRow("grown") << kOld << kNew << true;
        QTest::addRow("deleted") << kOld << QByteArray("-") << true;
        QTest::addRow("created") << QByteArray("-") << kOld << true;
    }

    void stampChanged()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(bool, changed);
        if (before != "-")
            writeBytes(m_path, before);
        const FileStamp stamp = FileStamp::of(m_path);
        QTest::qWait(20); // a rewrite gets a later modification time
        if (after == "-")
            QVERIFY(QFile::remove(m_path));
        else
            writeBytes(m_path, after);
        if (after != before && after.size() == before.size()) { // the old time put back, as some programs do
            QFile file(m_path);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(stamp.modified(), QFile::FileModificationTime));
        }
        QCOMPARE(FileStamp::of(m_path).changedSince(stamp), changed);
        QCOMPARE(FileStamp::of(m_path, &stamp).changedSince(stamp), changed);
    }

private:
    QScopedPointer<QTemporaryDir> m_dir;
    QString m_work;
    QString m_path; // the usual QTA.INI in m_work
    QStringList m_immutable;
};

QTEST_GUILESS_MAIN(tst_FileSafety)
#include "tst_filesafety.moc"
