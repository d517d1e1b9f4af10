#include "buttonimagelist.h"
#include "buttonpicturelist.h"
#include "imagelist.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QColor kBlue(0, 0, 255);

// A bitmap, blue with a magenta (transparent) top-left quarter; `claimed` replaces the size its header declares.
QByteArray bitmap(QSize size, QImage::Format format = QImage::Format_Indexed8, QSize claimed = {})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kBlue);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height() / 2, QColor(255, 0, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(format).save(&buffer, "BMP");
    if (claimed != QSize()) {
        qToLittleEndian(qint32(claimed.width()), bytes.data() + 18);
        qToLittleEndian(qint32(claimed.height()), bytes.data() + 22);
    }
    return bytes;
}

} // namespace

// A button names its picture by path; whatever lies there, the editor shows something, says why, and goes on.
class tst_ImageList final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anyFileNamedAsABitmap_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // null for no file
        QTest::addColumn<QString>("problem"); // "" for a picture that shows

        const QByteArray rgb = bitmap({ 32, 32 }, QImage::Format_RGB888);
        QTest::addRow("24-bit bitmap, scaled down") << u"b.bmp"_s << rgb << "";
        QTest::addRow("missing") << u"missing.bmp"_s << QByteArray() << "does not exist";
        QTest::addRow("text") << u"text.bmp"_s << QByteArray("QTA notes") << "not a picture";
        QTest::addRow("cut short") << u"cut.bmp"_s << rgb.left(rgb.size() / 2) << "shorter than the picture";
        QTest::addRow("header claiming 60000 x 60000")
            << u"huge.bmp"_s << bitmap({ 16, 16 }, QImage::Format_Indexed8, { 60000, 60000 }) << "60000 x 60000";
        QTest::addRow("wider than 1024") << u"wide.bmp"_s << bitmap({ 1100, 2 }) << "1100 x 2";
        QTest::addRow("folder") << u"folder.bmp"_s << QByteArray() << "folder";
#ifdef Q_OS_UNIX
        QTest::addRow("pipe") << u"pipe.bmp"_s << QByteArray() << "not a regular file"; // a read would wait for ever
#endif
    }

    // An unreadable picture keeps its place (later ones keep their numbers) and shows the red cross.
    void anyFileNamedAsABitmap()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (name == u"folder.bmp")
            QVERIFY(QDir().mkpath(path));
#ifdef Q_OS_UNIX
        if (name == u"pipe.bmp")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
        QFile file(path);
        QVERIFY(bytes.isNull()
                || (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()));

        ButtonImageList entries;
        entries.add({ u"0"_s, u":/buttons/0.bmp"_s, true }); // before the pictures follow: caught up with
        ButtonPictureList pictures(&entries);
        entries.add({ name, path, false });
        entries.add({ u"1"_s, u":/buttons/1.bmp"_s, true });
        QCOMPARE(pictures.images()->count(), 3);
        QCOMPARE(pictures.problem(2), QString());
        const QString why = pictures.problem(1);
        QVERIFY2(problem.isEmpty() ? why.isEmpty() : why.contains(problem), qPrintable(why));
        const QImage shown = pictures.pixmap(1).toImage().convertToFormat(QImage::Format_ARGB32);
        // A reload drops the file's pictures, and their reasons with them: the next picture starts clean.
        entries.removeFrom(1);
        entries.add({ u"2"_s, u":/buttons/2.bmp"_s, true });
        QCOMPARE(pictures.images()->count(), 2);
        QCOMPARE(pictures.problem(1), QString());
        if (!problem.isEmpty()) {
            QCOMPARE(shown, ButtonPictureList::notFoundPixmap().toImage().convertToFormat(QImage::Format_ARGB32));
            return;
        }
        // The transparent colour is gone, not even blended into the blue beside it by the scaling.
        QCOMPARE(shown.pixelColor(7, 7).alpha(), 0);
        for (const QPoint blue : { QPoint(7, 8), QPoint(8, 7), QPoint(8, 8) })
            QCOMPARE(shown.pixelColor(blue), kBlue);
    }
};

QTEST_MAIN(tst_ImageList)
#include "tst_imagelist.moc"
