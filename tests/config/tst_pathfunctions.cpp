#include "pathfunctions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

class tst_PathFunctions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void fileExists_data();
    void fileExists();
    void fileExistsUnreadable();
    void shortPathSameFile_data();
    void shortPathSameFile();
    void shortPathMissing_data();
    void shortPathMissing();

private:
    QString path(const QString &relative) const { return m_dir.filePath(relative); }

    QTemporaryDir m_dir;
};

void tst_PathFunctions::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkpath(u"Pictures/sub"_s));
    for (const QString &name : { u"Pictures/tool.bmp"_s, u"Pictures/My Tool.bmp"_s }) {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("BM") == 2);
    }
}

void tst_PathFunctions::fileExists_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("expected");

    const QString file = path(u"Pictures/tool.bmp"_s);
    const QString folder = path(u"Pictures"_s);
    QTest::addRow("file") << file << true;
    QTest::addRow("quoted file") << u"\""_s + file + u"\""_s << true;
    QTest::addRow("quoted name with blank, padded") << u"  \""_s + path(u"Pictures/My Tool.bmp"_s) + u"\" "_s << true;
    QTest::addRow("folder") << folder << false;
    QTest::addRow("folder with final slash") << folder + u"/"_s << false;
    QTest::addRow("quoted folder with final backslash") << u"\""_s + folder + u"\\\""_s << false;
    QTest::addRow("missing file") << path(u"Pictures/none.bmp"_s) << false;
    QTest::addRow("empty") << QString() << false;
    QTest::addRow("blanks and quotes only") << u" \"\" "_s << false;
    QTest::addRow("NUL before a real name") << file + QChar(0) + u"x"_s << false;
#ifdef Q_OS_UNIX
    const QString pipe = path(u"pipe"_s);
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    // Must answer at once rather than wait for a writer.
    QTest::addRow("named pipe") << pipe << false;
    QTest::addRow("device") << u"/dev/null"_s << false;
#endif
}

void tst_PathFunctions::fileExists()
{
    QFETCH(QString, path);
    QFETCH(bool, expected);
    QCOMPARE(FileExists(path), expected);
}

void tst_PathFunctions::fileExistsUnreadable()
{
    const QString name = path(u"locked.bmp"_s);
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
    if (file.open(QIODevice::ReadOnly))
        QSKIP("Permissions do not keep this account from reading (administrator or root).");
    QVERIFY(!FileExists(name));
}

void tst_PathFunctions::shortPathSameFile_data()
{
    QTest::addColumn<QString>("spelling");

    QTest::addRow("dot segment") << path(u"Pictures/./tool.bmp"_s);
    QTest::addRow("parent segment") << path(u"Pictures/sub/../tool.bmp"_s);
#ifdef Q_OS_UNIX
    const QString link = path(u"Linked"_s);
    QVERIFY(QFile::link(path(u"Pictures"_s), link));
    QTest::addRow("through a linked folder") << link + u"/tool.bmp"_s;
#endif
}

void tst_PathFunctions::shortPathSameFile()
{
    QFETCH(QString, spelling);
    const QString key = GetShortPath(path(u"Pictures/tool.bmp"_s));
    QVERIFY(!key.isEmpty());
    QVERIFY(QDir::isAbsolutePath(key));
    QCOMPARE(GetShortPath(spelling), key);
}

void tst_PathFunctions::shortPathMissing_data()
{
    QTest::addColumn<QString>("path");

    QTest::addRow("missing file") << path(u"Pictures/none.bmp"_s);
    QTest::addRow("missing folder") << path(u"Nowhere/tool.bmp"_s);
    QTest::addRow("empty") << QString();
}

void tst_PathFunctions::shortPathMissing()
{
    QFETCH(QString, path);
    QCOMPARE(GetShortPath(path), QString());
}

QTEST_GUILESS_MAIN(tst_PathFunctions)
#include "tst_pathfunctions.moc"
