#include "buttonimagelist.h"
#include "buttonpicturelist.h"
#include "imagelist.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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

QImage argb(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class tst_ImageList final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyColourBecomesTransparent_data();
    void keyColourBecomesTransparent();
    void unreadableFileAddsNothing_data();
    void unreadableFileAddsNothing();
    void builtInPicturesAreLinkedAndTransparent();
    void keysFollowRemovals();
    void buttonPicturesStayAligned_data();
    void buttonPicturesStayAligned();

private:
    QTemporaryDir m_dir;
};

void tst_ImageList::keyColourBecomesTransparent_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QColor>("key");

    QTest::addRow("8-bit bitmap") << writePicture(m_dir, QStringLiteral("a.bmp"), {16, 16}, kMagenta) << kMagenta;
    QTest::addRow("24-bit bitmap, scaled down after clearing")
        << writePicture(m_dir, QStringLiteral("b.bmp"), {40, 40}, kMagenta, QImage::Format_RGB888) << kMagenta;
    QTest::addRow("png with another key colour")
        << writePicture(m_dir, QStringLiteral("c.png"), {16, 16}, Qt::green, QImage::Format_ARGB32, "PNG")
        << QColor(Qt::green);
    QTest::addRow("bitmap under a png name")
        << writePicture(m_dir, QStringLiteral("d.png"), {16, 16}, kMagenta) << kMagenta;
}

void tst_ImageList::keyColourBecomesTransparent()
{
    QFETCH(QString, path);
    QFETCH(QColor, key);

    ImageList list(QSize(16, 16));
    QSignalSpy changed(&list, &ImageList::changed);
    QCOMPARE(list.addFromFile(path, QStringLiteral("key"), key), 0);
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

void tst_ImageList::unreadableFileAddsNothing_data()
{
    QTest::addColumn<QString>("path");

    QTest::addRow("missing file") << m_dir.filePath(QStringLiteral("missing.bmp"));
    QTest::addRow("text under a bitmap name") << writeBytes(m_dir, QStringLiteral("text.bmp"), "not a picture");
    QTest::addRow("empty file") << writeBytes(m_dir, QStringLiteral("empty.bmp"), {});
    QTest::addRow("folder") << m_dir.path();
}

void tst_ImageList::unreadableFileAddsNothing()
{
    QFETCH(QString, path);

    ImageList list(QSize(16, 16));
    QSignalSpy changed(&list, &ImageList::changed);
    QCOMPARE(list.addFromFile(path, path), -1);
    QCOMPARE(list.addFromResource(path, path, kMagenta), -1);
    QCOMPARE(list.addPixmap(QPixmap(), path), -1);
    QCOMPARE(list.count(), 0);
    QCOMPARE(changed.count(), 0);
}

void tst_ImageList::builtInPicturesAreLinkedAndTransparent()
{
    ImageList list(QSize(16, 16));
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(list.addFromResource(QStringLiteral(":/buttons/%1.bmp").arg(i), QString::number(i), kMagenta), i);
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

void tst_ImageList::keysFollowRemovals()
{
    ImageList list(QSize(16, 16));
    QPixmap red(16, 16);
    red.fill(Qt::red);
    for (const char *key : {"a", "b", "c", "b"})
        list.addPixmap(red, QLatin1String(key));

    list.removeAt(1);
    QCOMPARE(list.keyAt(1), QStringLiteral("c"));
    QCOMPARE(list.indexOfKey(QStringLiteral("b")), 2);
    list.removeFrom(1);
    QVERIFY(!list.keyExists(QStringLiteral("c")));
    QCOMPARE(list.count(), 1);
    QVERIFY(list.pixmap(1).isNull());
    QVERIFY(list.pixmap(-1).isNull());
}

void tst_ImageList::buttonPicturesStayAligned_data()
{
    QTest::addColumn<QString>("badFile");

    QTest::addRow("missing file") << m_dir.filePath(QStringLiteral("gone.bmp"));
    QTest::addRow("not a picture") << writeBytes(m_dir, QStringLiteral("notes.bmp"), "QTA notes");
}

void tst_ImageList::buttonPicturesStayAligned()
{
    QFETCH(QString, badFile);

    const QString good = writePicture(m_dir, QStringLiteral("good.bmp"), {16, 16}, kMagenta);
    ButtonImageList entries;
    for (int i = 0; i < 8; ++i)
        entries.add({QString::number(i), QStringLiteral(":/buttons/%1.bmp").arg(i), true});
    entries.add({QStringLiteral("GOOD.BMP"), good, false});

    // Entries made before the pictures follow are caught up with.
    ButtonPictureList pictures(&entries);
    entries.add({QStringLiteral("BAD.BMP"), badFile, false});
    entries.add({QStringLiteral("GOOD2.BMP"), good, false});

    QCOMPARE(pictures.images()->count(), 11);
    QCOMPARE(argb(pictures.pixmap(9)), argb(pictures.pixmap(0)));
    QCOMPARE(argb(pictures.pixmap(10)).pixelColor(12, 12), kBlue);
    QCOMPARE(pictures.images()->keyAt(10), QStringLiteral("GOOD2.BMP"));
    QVERIFY(pictures.pixmap(11).isNull());

    entries.removeFrom(9);
    entries.add({QStringLiteral("GOOD3.BMP"), good, false});
    QCOMPARE(pictures.images()->count(), 10);
    QCOMPARE(pictures.images()->keyAt(9), QStringLiteral("GOOD3.BMP"));
    QCOMPARE(argb(pictures.pixmap(9)).pixelColor(12, 12), kBlue);
}

QTEST_MAIN(tst_ImageList)
#include "tst_imagelist.moc"
