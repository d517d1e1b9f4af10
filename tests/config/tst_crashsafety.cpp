// A save killed at any moment leaves QTA.INI whole, old or new, and nothing the user would find beside it.
#include "configuration.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

class tst_CrashSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void killedAtRandomMoments();
    void killedAtEachFileStep();

private:
    void checkAfterKill(const QString &folder, const QString &when);

    // A kill, not a power cut: what the file system keeps in memory counts as written, so the files stay in
    // memory where the system allows and no save waits for the disk.
    QTemporaryDir m_dir { QFileInfo(u"/dev/shm"_s).isWritable() ? u"/dev/shm/tst_crashsafety-XXXXXX"_s
                                                                : QDir::tempPath() + u"/tst_crashsafety-XXXXXX"_s };
    QByteArray m_contents[3]; // the original, then content a and content b as the helper saves them
    qint64 m_cycleMicroseconds = 0; // the helper's start and one save
    int m_seen[3] = { 0, 0, 0 };
    int m_leftovers = 0;
};

namespace {

const QByteArray kOriginal = "; QTA settings\r\n[General]\r\nLast=C:\\DATA\\X.QTA\r\n[Addons]\r\nOld=old.exe\r\n"
                             "[Window]\r\nLeft=10\r\n";

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QStringList folderEntries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Runs the helper to its end: one save of content a or b.
bool runHelper(const QString &folder, const QString &mode)
{
    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper.start(QStringLiteral(QTA_CRASH_HELPER), { folder, mode });
    return helper.waitForFinished(30000) && helper.exitStatus() == QProcess::NormalExit && helper.exitCode() == 0;
}

} // namespace

void tst_CrashSafety::initTestCase()
{
#if !defined(Q_OS_LINUX) && !defined(Q_OS_WIN)
    QSKIP("kills the saving process as SIGKILL and TerminateProcess do: Linux and Windows only");
#endif
    QVERIFY(m_dir.isValid());
    // The two contents the helper saves in turn, each written once over the original.
    m_contents[0] = kOriginal;
    QElapsedTimer clock;
    clock.start();
    for (int i = 1; i <= 2; ++i) {
        const QString mode = i == 1 ? u"a"_s : u"b"_s;
        const QString folder = m_dir.filePath(mode);
        QVERIFY(QDir().mkpath(folder) && writeBytes(folder + u"/QTA.INI"_s, kOriginal));
        QVERIFY(runHelper(folder, mode));
        m_contents[i] = readBytes(folder + u"/QTA.INI"_s);
        QCOMPARE(folderEntries(folder), QStringList { u"QTA.INI"_s });
    }
    m_cycleMicroseconds = clock.nsecsElapsed() / 2000;
    QVERIFY(m_contents[1].size() > 500000 && m_contents[1] != m_contents[2]);
}

// The file is whole, old or new; beside it at most a hidden file of the saver's own, for the next save to remove.
void tst_CrashSafety::checkAfterKill(const QString &folder, const QString &when)
{
    const QByteArray now = readBytes(folder + u"/QTA.INI"_s);
    const int which = int(std::find(std::begin(m_contents), std::end(m_contents), now) - std::begin(m_contents));
    QVERIFY2(
        which < 3,
        qPrintable(u"killed %1: QTA.INI is neither the old content nor a or b (%2 bytes)"_s.arg(when).arg(now.size())));
    ++m_seen[which];
    for (const QString &name : folderEntries(folder)) {
        QVERIFY2(name == u"QTA.INI"_s || name.startsWith(u".QTA.INI.qtaedit-"_s),
                 qPrintable(u"killed %1: %2 was left beside QTA.INI"_s.arg(when, name)));
        m_leftovers += name != u"QTA.INI"_s;
    }
}

void tst_CrashSafety::killedAtRandomMoments()
{
    bool ok = false;
    quint32 seed = qEnvironmentVariable("QTA_TEST_SEED").toUInt(&ok);
    if (!ok)
        seed = 20240611;
    int kills = qEnvironmentVariableIntValue("QTA_TEST_RUNS", &ok);
    if (!ok)
        kills = 300;
    qInfo("seed %u, up to %d kills in 17 s (QTA_TEST_SEED, QTA_TEST_RUNS override)", seed, kills);
    QRandomGenerator random(seed);

    // Kill the looping helper at a random moment of its start or of its first saves, again and again.
    const QString folder = m_dir.filePath(u"random"_s);
    QVERIFY(QDir().mkpath(folder) && writeBytes(folder + u"/QTA.INI"_s, kOriginal));
    std::fill(std::begin(m_seen), std::end(m_seen), 0);
    m_leftovers = 0;
    int done = 0;
    QElapsedTimer clock;
    clock.start();
    for (; done < kills && clock.elapsed() < 17000; ++done) {
        QProcess helper;
        helper.start(QStringLiteral(QTA_CRASH_HELPER), { folder, u"loop"_s });
        QVERIFY(helper.waitForStarted());
        const quint32 delay = random.bounded(quint32(2 * m_cycleMicroseconds));
        QThread::usleep(delay);
        helper.kill(); // SIGKILL or TerminateProcess: no handler, no clean-up
        QVERIFY(helper.waitForFinished());
        QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
        checkAfterKill(folder, u"after %1 us (kill %2)"_s.arg(delay).arg(done + 1));
        if (QTest::currentTestFailed())
            return;
    }
    qInfo("%d kills in %lld ms: file old %d, a %d, b %d times; %d hidden leftovers", done, clock.elapsed(), m_seen[0],
          m_seen[1], m_seen[2], m_leftovers);
    QVERIFY(m_seen[1] + m_seen[2] > 0);

    // The next save clears whatever an earlier one left.
    QVERIFY(runHelper(folder, readBytes(folder + u"/QTA.INI"_s) == m_contents[1] ? u"b"_s : u"a"_s));
    QCOMPARE(folderEntries(folder), QStringList { u"QTA.INI"_s });
}

void tst_CrashSafety::killedAtEachFileStep()
{
    // strace kills the helper as it enters a chosen system call of a save: the moments between the last steps
    // of a save, which a random kill seldom meets, met every time.
    const QString strace = QStandardPaths::findExecutable(u"strace"_s);
    if (strace.isEmpty() || QProcess::execute(strace, { u"-o"_s, u"/dev/null"_s, u"true"_s }) != 0)
        QSKIP("needs strace, allowed to trace");
    const QString folder = m_dir.filePath(u"steps"_s);
    QVERIFY(QDir().mkpath(folder) && writeBytes(folder + u"/QTA.INI"_s, kOriginal));
    std::fill(std::begin(m_seen), std::end(m_seen), 0);
    m_leftovers = 0;
    for (const QString &call : { u"write"_s, u"fdatasync"_s, u"linkat"_s, u"rename"_s }) {
        for (int n = 1; n <= 3; ++n) {
            QProcess helper;
            helper.start(strace,
                         { u"-f"_s, u"-o"_s, u"/dev/null"_s, u"-e"_s, u"trace="_s + call, u"-e"_s,
                           u"inject=%1:signal=SIGKILL:when=%2"_s.arg(call).arg(n), QStringLiteral(QTA_CRASH_HELPER),
                           folder, u"loop"_s });
            if (!helper.waitForFinished(10000)) // the call never came (another file system): an ordinary kill
                helper.kill(), helper.waitForFinished();
            checkAfterKill(folder, u"at %1 number %2"_s.arg(call).arg(n));
            if (QTest::currentTestFailed())
                return;
        }
    }
    qInfo("file old %d, a %d, b %d times; %d hidden leftovers", m_seen[0], m_seen[1], m_seen[2], m_leftovers);
    QVERIFY(runHelper(folder, readBytes(folder + u"/QTA.INI"_s) == m_contents[1] ? u"b"_s : u"a"_s));
    QCOMPARE(folderEntries(folder), QStringList { u"QTA.INI"_s });
}

QTEST_GUILESS_MAIN(tst_CrashSafety)
#include "tst_crashsafety.moc"
