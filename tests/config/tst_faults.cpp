// Saves that meet a full disk, read-only files and folders, a vanished folder and linked files: a failure names
// the file and the reason and leaves the old file whole; links and read-only folders are written as expected.
#include "configuration.h"
#include "filesafety.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

using namespace Qt::StringLiterals;

class tst_Faults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void save_data();
    void save();
    void fullDiskOnTmpfs_data();
    void fullDiskOnTmpfs();

private:
    QScopedPointer<QTemporaryDir> m_dir;
    QString m_work;
    QString m_path;
};

namespace {

const QByteArray kOld = "; host file\r\n[Main]\r\nFont=Courier\r\n[Addons]\r\nCalc=calc.exe\r\n[Window]\r\nLeft=3\r\n";

QStringList entries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Which file a name leads to: the same number after a write in place, another one after a replacement.
quint64 inode(const QString &path)
{
#ifdef Q_OS_WIN
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
    BY_HANDLE_FILE_INFORMATION info {};
    const bool known = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return known ? (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow : 0;
#else
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
#endif
}

bool hardLink(const QString &existing, const QString &link)
{
#ifdef Q_OS_WIN
    return CreateHardLinkW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(link).utf16()),
                           reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(existing).utf16()), nullptr);
#else
    return ::link(QFile::encodeName(existing).constData(), QFile::encodeName(link).constData()) == 0;
#endif
}

// Windows' QFile::link makes a shortcut, not a link: the system is asked there, and Wine makes none.
bool symbolicLink(const QString &target, const QString &link)
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

} // namespace

void tst_Faults::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    m_work = m_dir->filePath(u"work"_s);
    m_path = m_work + u"/QTA.INI"_s;
    QVERIFY(QDir().mkpath(m_work + u"/real"_s));
}

void tst_Faults::cleanup()
{
    QFile::setPermissions(m_work, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    FileSafety::setWriteLimitForTesting(-1);
    m_dir.reset();
}

void tst_Faults::save_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("failure"); // a part of the error; empty when the save must succeed

    QTest::addRow("short write") << u"short write"_s << u"disk is full"_s;
    QTest::addRow("short write, hard-linked file") << u"short write, hard link"_s << u"old content was written back"_s;
    QTest::addRow("read-only file") << u"read-only file"_s << u"the file is read-only"_s;
    QTest::addRow("read-only file and folder") << u"read-only file, read-only folder"_s << u"the file is read-only"_s;
    QTest::addRow("folder gone after loading") << u"folder gone"_s << u"does not exist"_s;
    QTest::addRow("link into a missing folder") << u"link into a missing folder"_s << u"does not exist"_s;
    QTest::addRow("links in a circle") << u"link in a circle"_s << u"circle"_s;
    QTest::addRow("read-only folder, writable file") << u"read-only folder"_s << QString();
    QTest::addRow("file with a second hard link") << u"hard link"_s << QString();
    QTest::addRow("symbolic link to a file") << u"link to a file"_s << QString();
    QTest::addRow("dangling symbolic link") << u"link to nothing"_s << QString();
}

void tst_Faults::save()
{
    QFETCH(QString, situation);
    QFETCH(QString, failure);

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

    Configuration config;
    QVERIFY(LoadConfiguration(config, m_work).ok);
    config.addOns()->appendAddOn(AddOnEntry { u"Edit"_s, u"ed.exe"_s, QString() });
    // What the save gives a plain file of the same content.
    QTemporaryDir plain;
    if (QFileInfo::exists(m_path))
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
    const quint64 inodeBefore = inode(m_path);

    const ConfigResult result = SaveConfiguration(config, m_work);
    QCOMPARE(result.ok, failure.isEmpty());
    QVERIFY2(result.error.contains(failure), qPrintable(result.error));
    if (!failure.isEmpty())
        QVERIFY2(result.error.contains(u'"' + QDir::toNativeSeparators(m_path) + u'"'), qPrintable(result.error));
    QCOMPARE(entries(m_work), entriesBefore); // nothing staged is left, no folder comes back
    if (QFileInfo::exists(m_path))
        QCOMPARE(readBytes(m_path), expected);
    if (situation.contains(u"hard link"))
        QCOMPARE(readBytes(twin), expected);
    if (symbolic)
        QVERIFY(QFileInfo(m_path).isSymLink());
    else if (failure.isEmpty()) // written in place
        QCOMPARE(inode(m_path), inodeBefore);
}

void tst_Faults::fullDiskOnTmpfs_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("outcome");

    QTest::addRow("file replaced by rename") << u"replace"_s << u"the file was left as it was"_s;
    QTest::addRow("hard-linked file written in place") << u"hardlink"_s << u"old content was written back"_s;
}

// A real full disk: the helper mounts a 64 KiB tmpfs in a mount namespace of its own, fills it and saves.
void tst_Faults::fullDiskOnTmpfs()
{
    QFETCH(QString, mode);
    QFETCH(QString, outcome);
#ifndef Q_OS_LINUX
    QSKIP("a real full disk is a small file system mounted for the test, which needs Linux");
#else
    const QString unshare = QStandardPaths::findExecutable(u"unshare"_s);
    if (unshare.isEmpty())
        QSKIP("no unshare program to give the helper a mount namespace of its own");
    const QString mountPoint = m_dir->filePath(u"disk"_s);
    QVERIFY(QDir().mkpath(mountPoint));
    // An administrator mounts in a namespace of its own; anybody else tries a user namespace.
    QList<QStringList> ways;
    if (::geteuid() == 0)
        ways.append({ u"--mount"_s });
    ways.append({ u"--user"_s, u"--map-root-user"_s, u"--mount"_s });
    QString refusals;
    for (const QStringList &way : std::as_const(ways)) {
        QProcess helper;
        helper.start(unshare,
                     way
                         + QStringList { u"--propagation"_s, u"private"_s, QStringLiteral(QTA_FAULTS_HELPER),
                                         mountPoint, mode });
        QVERIFY(helper.waitForFinished(60000));
        const QString report = QString::fromLocal8Bit(helper.readAllStandardOutput());
        if (helper.exitCode() != 0 || !report.startsWith(u"saved: ")) {
            refusals
                += u' ' + report.trimmed() + u' ' + QString::fromLocal8Bit(helper.readAllStandardError()).trimmed();
            continue;
        }
        QVERIFY2(report.contains(u"error: Could not save \""_s + mountPoint + u"/QTA.INI\": No space left on device"_s),
                 qPrintable(report));
        QVERIFY2(report.contains(outcome), qPrintable(report));
        QVERIFY2(report.endsWith(u"\nintact: yes\nentries: filler QTA.INI"_s
                                 + (mode == u"hardlink" ? u" twin.ini\n"_s : u"\n"_s)),
                 qPrintable(report));
        return;
    }
    QSKIP(qPrintable(u"mounting a small file system is not allowed here:"_s + refusals));
#endif
}

QTEST_GUILESS_MAIN(tst_Faults)
#include "tst_faults.moc"
