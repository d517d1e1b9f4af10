#include "pathfunctions.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
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
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkpath(u"Pictures/sub"_s));
        for (const QString &name : { u"Pictures/tool.bmp"_s, u"Pictures/My Tool.bmp"_s, u"locked.bmp"_s }) {
            QFile file(path(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::setPermissions(path(u"locked.bmp"_s), QFileDevice::WriteOwner));
    }

    void fileExists_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("expected");

        const QString file = path(u"Pictures/tool.bmp"_s);
        QTest::addRow("file") << file << true;
        QTest::addRow("quoted name with blank, padded")
            << u"  \""_s + path(u"Pictures/My Tool.bmp"_s) + u"\" "_s << true;
        QTest::addRow("folder") << path(u"Pictures"_s) << false;
        QTest::addRow("quoted folder with final backslash") << u"\""_s + path(u"Pictures"_s) + u"\\\""_s << false;
        QTest::addRow("missing file") << path(u"Pictures/none.bmp"_s) << false;
        QTest::addRow("blanks and quotes only") << u" \"\" "_s << false;
        QTest::addRow("NUL before a real name") << file + QChar(0) + u"x"_s << false;
        // An administrator or root reads it anyway; then there is nothing to check.
        if (QFile locked(path(u"locked.bmp"_s)); !locked.open(QIODevice::ReadOnly))
            QTest::addRow("unreadable file") << locked.fileName() << false;
    #ifdef Q_OS_UNIX
        const QString pipe = path(u"pipe"_s);
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        // Must answer at once rather than wait for a writer.
        QTest::addRow("named pipe") << pipe << false;
        QTest::addRow("device") << u"/dev/null"_s << false;
    #endif
    }

    void fileExists()
    {
        QFETCH(QString, path);
        QFETCH(bool, expected);
        QCOMPARE(FileExists(path), expected);
    }

    void shortPath_data()
    {
        QTest::addColumn<QString>("spelling");
        QTest::addColumn<bool>("found"); // else no key at all

        QTest::addRow("dot segment") << path(u"Pictures/./tool.bmp"_s) << true;
        QTest::addRow("parent segment") << path(u"Pictures/sub/../tool.bmp"_s) << true;
    #ifdef Q_OS_UNIX
        QVERIFY(QFile::link(path(u"Pictures"_s), path(u"Linked"_s)));
        QTest::addRow("through a linked folder") << path(u"Linked/tool.bmp"_s) << true;
    #endif
        QTest::addRow("missing file") << path(u"Pictures/none.bmp"_s) << false;
        QTest::addRow("missing folder") << path(u"Nowhere/tool.bmp"_s) << false;
        QTest::addRow("empty") << QString() << false;
    }

    // Every spelling of one file gives the same key, so a picture is loaded once.
    void shortPath()
    {
        QFETCH(QString, spelling);
        QFETCH(bool, found);

        const QString key = GetShortPath(path(u"Pictures/tool.bmp"_s));
        QVERIFY(QDir::isAbsolutePath(key));
        QCOMPARE(GetShortPath(spelling), found ? key : QString());
    }

    void keyNamesTheFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addRow("long folder name with blanks") << u"Long Folder Name/Tool Picture.bmp"_s;
        QTest::addRow("names already short") << u"Pictures/tool.bmp"_s;
        // Windows' plain path form drops the blank, so only the long-path form finds the folder.
        QTest::addRow("folder name ending in a blank") << u"Ends in a blank /Tool Picture.bmp"_s;
    }

    // The key is a path to the very file, in short names on Windows: what QTA is given for the picture.
    void keyNamesTheFile()
    {
        QFETCH(QString, name);
        const QString file = path(name);
        QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
        writeBytes(file, name.toUtf8());

        const QString key = GetShortPath(file);
        QCOMPARE(readBytes(key), name.toUtf8());
    #ifdef Q_OS_WIN
        static const QRegularExpression shortName(u"^[^ .]{1,8}(\\.[^ .]{1,3})?$"_s);
        const QStringList parts = key.split(u'\\');
        QCOMPARE(parts.constFirst().toUpper(), file.left(2).toUpper()); // the drive
        for (const QString &part : parts.sliced(1))
            QVERIFY2(shortName.match(part).hasMatch(), qPrintable(key));
        if (name == u"Pictures/tool.bmp"_s) // kept as they are
            QVERIFY2(key.endsWith(u"\\Pictures\\tool.bmp"_s, Qt::CaseInsensitive), qPrintable(key));
    #else
        QCOMPARE(key, QFileInfo(file).canonicalFilePath());
    #endif
    }

private:
    QString path(const QString &relative) const { return m_dir.filePath(relative); }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(tst_PathFunctions)
#include "tst_pathfunctions.moc"
