#include "buttonimagelist.h"
#include "buttonpicturelist.h"
#include "configuration.h"
#include "imagelist.h"
#include "pathfunctions.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QColor kMagenta(255, 0, 255);
const QColor kBlue(0, 0, 255);

// Blue, with the key colour in the top-left quarter.
QString writePicture(const QTemporaryDir &dir, const QString &name, QSize size, QColor key,
                     QImage::Format format = QImage::Format_Indexed8, const char *fileFormat = "BMP")
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kBlue);
    for (int y = 0; y < size.height() / 2; ++y) {
        for (int x = 0; x < size.width() / 2; ++x)
            image.setPixelColor(x, y, key);
    }
    const QString path = dir.filePath(name);
    if (!image.convertToFormat(format).save(path, fileFormat))
        qFatal("cannot write a test picture");
    return path;
}

QString writeBytes(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write a test file");
    return file.fileName();
}

// A 24-bit bitmap cut to its first half: the header promises rows the file does not hold.
QString writeCutBitmap(const QTemporaryDir &dir, const QString &name)
{
    const QByteArray whole = readBytes(writePicture(dir, name, {32, 32}, kMagenta, QImage::Format_RGB888));
    return writeBytes(dir, name, whole.left(whole.size() / 2));
}

// A small bitmap whose header claims width x height pixels.
QString writeBitmapClaiming(const QTemporaryDir &dir, const QString &name, qint32 width, qint32 height)
{
    QByteArray bytes = readBytes(writePicture(dir, name, {16, 16}, kMagenta));
    qToLittleEndian(width, bytes.data() + 18);
    qToLittleEndian(height, bytes.data() + 22);
    return writeBytes(dir, name, bytes);
}

QImage argb(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class tst_ImageList final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyColourBecomesTransparent_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QColor>("key");

        QTest::addRow("8-bit bitmap") << writePicture(m_dir, u"a.bmp"_s, {16, 16}, kMagenta) << kMagenta;
        QTest::addRow("24-bit bitmap, scaled down after clearing")
            << writePicture(m_dir, u"b.bmp"_s, {40, 40}, kMagenta, QImage::Format_RGB888) << kMagenta;
        QTest::addRow("png with another key colour")
            << writePicture(m_dir, u"c.png"_s, {16, 16}, Qt::green, QImage::Format_ARGB32, "PNG") << QColor(Qt::green);
        QTest::addRow("bitmap under a png name") << writePicture(m_dir, u"d.png"_s, {16, 16}, kMagenta) << kMagenta;
        QTest::addRow("png under a bitmap name")
            << writePicture(m_dir, u"e.bmp"_s, {16, 16}, kMagenta, QImage::Format_ARGB32, "PNG") << kMagenta;
    }

    void keyColourBecomesTransparent()
    {
        QFETCH(QString, path);
        QFETCH(QColor, key);

        ImageList list(QSize(16, 16));
        QSignalSpy changed(&list, &ImageList::changed);
        QCOMPARE(list.addFromFile(path, u"key"_s, key), 0);
        QCOMPARE(changed.count(), 1);

        const QImage shown = argb(list.pixmap(0));
        QCOMPARE(shown.size(), QSize(16, 16));
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QColor c = shown.pixelColor(x, y);
                // No trace of the key colour, not even blended into an edge by the scaling.
                QVERIFY2(c.alpha() == 0 || c == kBlue, qPrintable(c.name(QColor::HexArgb)));
                QCOMPARE(c.alpha() == 0, x < 8 && y < 8);
            }
        }
    }

    void unreadableFileAddsNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");

        QTest::addRow("missing file") << m_dir.filePath(u"missing.bmp"_s) << u"does not exist"_s;
        QTest::addRow("text under a bitmap name") << writeBytes(m_dir, u"text.bmp"_s, "not a picture")
                                                  << u"not a picture"_s;
        const QByteArray noise = QByteArray("\x8f\0\x13" "BM\xff", 6).repeated(99);
        QTest::addRow("random bytes") << writeBytes(m_dir, u"noise.bmp"_s, noise) << u"not a picture"_s;
        QTest::addRow("empty file") << writeBytes(m_dir, u"empty.bmp"_s, {}) << u"empty"_s;
        QDir(m_dir.path()).mkdir(u"folder.bmp"_s);
        QTest::addRow("folder with a bitmap name") << m_dir.filePath(u"folder.bmp"_s) << u"folder"_s;
        QTest::addRow("bitmap cut short") << writeCutBitmap(m_dir, u"cut.bmp"_s) << u"shorter than the picture"_s;
        QTest::addRow("header claiming 60000 x 60000")
            << writeBitmapClaiming(m_dir, u"huge.bmp"_s, 60000, 60000) << u"60000 x 60000"_s;
        QTest::addRow("header claiming 4000 x -4000, rows top down")
            << writeBitmapClaiming(m_dir, u"tall.bmp"_s, 4000, -4000) << u"4000 x 4000"_s;
        QTest::addRow("whole bitmap wider than 1024")
            << writePicture(m_dir, u"wide.bmp"_s, {1100, 2}, kMagenta) << u"1100 x 2"_s;
    #ifdef Q_OS_UNIX
        // Opening a pipe for reading waits for a writer that never comes.
        const QString pipe = m_dir.filePath(u"pipe.bmp"_s);
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QTest::addRow("pipe with a bitmap name") << pipe << u"not a regular file"_s;
    #endif
    }

    void unreadableFileAddsNothing()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);

        ImageList list(QSize(16, 16));
        QSignalSpy changed(&list, &ImageList::changed);
        QCOMPARE(list.addFromFile(path, path), -1);
        QVERIFY2(list.errorString().contains(reason), qPrintable(list.errorString()));
        QCOMPARE(list.addFromResource(path, path, kMagenta), -1);
        QCOMPARE(list.addPixmap(QPixmap(), path), -1);
        QCOMPARE(list.count(), 0);
        QCOMPARE(changed.count(), 0);

        QString why;
        QVERIFY(ImageList::readPicture(path, {}, kMagenta, &why).isNull());
        QVERIFY2(why.contains(reason), qPrintable(why));
    }

    void builtInPicturesAreLinkedAndTransparent()
    {
        ImageList list(QSize(16, 16));
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(list.addFromResource(u":/buttons/%1.bmp"_s.arg(i), QString::number(i), kMagenta), i);
            const QImage image = argb(list.pixmap(i));
            int clear = 0;
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    clear += image.pixelColor(x, y).alpha() == 0;
                    QVERIFY(image.pixelColor(x, y) != kMagenta);
                }
            }
            QVERIFY2(clear > 0 && clear < 256, qPrintable(QString::number(i)));
        }
    }

    void keysFollowRemovals()
    {
        ImageList list(QSize(16, 16));
        QPixmap red(16, 16);
        red.fill(Qt::red);
        for (const char *key : {"a", "b", "c", "b"})
            list.addPixmap(red, QLatin1String(key));

        list.removeAt(1);
        QCOMPARE(list.keyAt(1), u"c"_s);
        QCOMPARE(list.indexOfKey(u"b"_s), 2);
        list.removeFrom(1);
        QVERIFY(!list.keyExists(u"c"_s));
        QCOMPARE(list.count(), 1);
        QVERIFY(list.pixmap(1).isNull());
        QVERIFY(list.pixmap(-1).isNull());
    }

    void buttonPicturesStayAligned_data()
    {
        QTest::addColumn<QString>("badFile");
        QTest::addColumn<QString>("reason");

        QTest::addRow("missing file") << m_dir.filePath(u"gone.bmp"_s) << u"does not exist"_s;
        QTest::addRow("not a picture") << writeBytes(m_dir, u"notes.bmp"_s, "QTA notes") << u"not a picture"_s;
    }

    void buttonPicturesStayAligned()
    {
        QFETCH(QString, badFile);
        QFETCH(QString, reason);

        const QString good = writePicture(m_dir, u"good.bmp"_s, {16, 16}, kMagenta);
        ButtonImageList entries;
        for (int i = 0; i < 8; ++i)
            entries.add({QString::number(i), u":/buttons/%1.bmp"_s.arg(i), true});
        entries.add({u"GOOD.BMP"_s, good, false});

        // Entries made before the pictures follow are caught up with.
        ButtonPictureList pictures(&entries);
        entries.add({u"BAD.BMP"_s, badFile, false});
        entries.add({u"GOOD2.BMP"_s, good, false});

        QCOMPARE(pictures.images()->count(), 11);
        QCOMPARE(argb(pictures.pixmap(9)), argb(pictures.pixmap(0)));
        QCOMPARE(argb(pictures.pixmap(10)).pixelColor(12, 12), kBlue);
        QCOMPARE(pictures.images()->keyAt(10), u"GOOD2.BMP"_s);
        QCOMPARE(pictures.images()->keyAt(9), u"BAD.BMP"_s);
        QVERIFY2(pictures.problem(9).contains(reason), qPrintable(pictures.problem(9)));
        QVERIFY(pictures.problem(8).isEmpty() && pictures.problem(10).isEmpty() && pictures.problem(0).isEmpty());
        QVERIFY(pictures.pixmap(11).isNull());

        entries.removeFrom(9);
        entries.add({u"GOOD3.BMP"_s, good, false});
        QCOMPARE(pictures.images()->count(), 10);
        QCOMPARE(pictures.images()->keyAt(9), u"GOOD3.BMP"_s);
        QCOMPARE(argb(pictures.pixmap(9)).pixelColor(12, 12), kBlue);
        QVERIFY(pictures.problem(9).isEmpty());
    }

    void damagedBitmapKeepsItsPathOnSave()
    {
        QTemporaryDir dir;
        const QString bitmap = writeCutBitmap(dir, u"sheet.bmp"_s);
        const QString ini = IniFilePath(dir.path());
        writeBytes(ini, "[Toolbits]\r\nSheet=PRINT|" + bitmap.toLocal8Bit() + "\r\n[General]\r\nA=1\r\n");
        Configuration config;
        SetupButtonImages(config);
        ResetToolbar(config);
        ButtonPictureList pictures(config.images());
        QVERIFY(LoadConfiguration(config, dir.path()));

        const int shown = config.toolbar()->at(0).ImageIndex;
        QCOMPARE(argb(pictures.pixmap(shown)), argb(ButtonPictureList::notFoundPixmap()));
        QVERIFY(pictures.problem(shown).contains(u"shorter"_s));
        // The save moves the section to the end of the file, and the picture's file goes with it.
        QVERIFY(SaveConfiguration(config, dir.path()));
        QCOMPARE(readBytes(ini),
                 "[General]\r\nA=1\r\n[Toolbits]\r\nSheet=PRINT|" + GetShortPath(bitmap).toLocal8Bit() + "\r\n");
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(tst_ImageList)
#include "tst_imagelist.moc"
