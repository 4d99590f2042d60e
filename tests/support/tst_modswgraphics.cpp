// The navigation icon resource, icons from other writers, and the picture helpers.
#include "iconfiles.h"
#include "modswgraphics.h"

#include <QFile>
#include <QImageReader>
#include <QtTest>

#include <array>

using namespace modSWGraphics;

namespace {

// What Qt's ICO reader makes of image `index` when it reads the whole file itself.
QImage WholeFileDecode(QByteArray file, int index)
{
    QBuffer buf(&file);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf, "ico");
    return reader.jumpToImage(index) ? reader.read().convertToFormat(QImage::Format_ARGB32) : QImage();
}

// How many pixels are fully transparent, partly transparent and opaque.
std::array<int, 3> CountAlpha(const QImage &img)
{
    std::array<int, 3> counts{};
    const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const int a = qAlpha(argb.pixel(x, y));
            ++counts[a == 0 ? 0 : a == 255 ? 2 : 1];
        }
    }
    return counts;
}

} // namespace

class tst_modSWGraphics : public QObject {
    Q_OBJECT

private slots:
    void navigationIcon_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("index");
        QTest::newRow("32 at 32 bpp (large navigation picture)") << 32 << 32 << 3;
        QTest::newRow("16 at 32 bpp (small navigation picture)") << 16 << 32 << 7;
        QTest::newRow("32 at 8 bpp is the third image, not the fourth") << 32 << 8 << 2;
        QTest::newRow("48 at 8 bpp is the first image") << 48 << 8 << 0;
    }

    void navigationIcon()
    {
        QFETCH(int, size);
        QFETCH(int, bits);
        QFETCH(int, index);
        QFile f(QStringLiteral(":/NAVGRAPHIC/500"));
        QVERIFY2(f.open(QIODevice::ReadOnly), "the icon resource is not linked into this binary");
        const QByteArray bytes = f.readAll();
        IconDirEntry e;
        QVERIFY(FindIconEntry(bytes, qint16(size), qint16(bits), &e));
        QCOMPARE(e.index, index);
        QCOMPARE(e.bitsPerPixel, bits);

        const QImage img = LoadIconPicture(500, QStringLiteral("NAVGRAPHIC"), qint16(size), qint16(bits)).toImage();
        QCOMPARE(img.size(), QSize(size, size));
        QVERIFY(img.hasAlphaChannel());
        // Pixel for pixel what Qt reads as image `index` of the whole file.
        QCOMPARE(img.convertToFormat(QImage::Format_ARGB32), WholeFileDecode(bytes, index));
        // A solid printer with clear space around it, not an empty or filled square; only the
        // 32-bit images have soft edges, the palette ones have just a mask.
        const auto [transparent, partial, opaque] = CountAlpha(img);
        QVERIFY2(opaque > size * size / 3, qPrintable(QString::number(opaque)));
        QVERIFY2(transparent > size * size / 10, qPrintable(QString::number(transparent)));
        QCOMPARE(partial > 0, bits == 32);
        QCOMPARE(qAlpha(img.pixel(0, 0)), 0);
    }

    void nothingWithoutAMatch_data()
    {
        QTest::addColumn<QVariant>("id");
        QTest::addColumn<QVariant>("type");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("found");
        const QVariant nav = QStringLiteral("NAVGRAPHIC");
        QTest::newRow("64 pixels") << QVariant(500) << nav << 64 << 32 << false;
        QTest::newRow("32 pixels at 24 bpp") << QVariant(500) << nav << 32 << 24 << false;
        QTest::newRow("size 0") << QVariant(500) << nav << 0 << 32 << false;
        QTest::newRow("other id") << QVariant(501) << nav << 32 << 32 << false;
        QTest::newRow("other type") << QVariant(500) << QVariant(QStringLiteral("ICON")) << 32 << 32 << false;
        QTest::newRow("null id") << QVariant() << nav << 32 << 32 << false;
        QTest::newRow("path in the type") << QVariant(500) << QVariant(QStringLiteral("x/../NAVGRAPHIC")) << 32 << 32 << false;
        // Resource names ignore case, and a numeric id may come as text.
        QTest::newRow("type in lower case") << QVariant(500) << QVariant(QStringLiteral("navgraphic")) << 32 << 32 << true;
        QTest::newRow("id as text") << QVariant(QStringLiteral("500")) << nav << 16 << 32 << true;
    }

    void nothingWithoutAMatch()
    {
        QFETCH(QVariant, id);
        QFETCH(QVariant, type);
        QFETCH(int, size);
        QFETCH(int, bits);
        QFETCH(bool, found);
        QCOMPARE(!LoadIconPicture(id, type, qint16(size), qint16(bits)).isNull(), found);
    }

    void foreignIconLoadsLikeQtReadsIt_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("index");
        QTest::newRow("32 (Qt-written DIB)") << 32 << 0;
        QTest::newRow("256 (PNG, size byte 0)") << 256 << 1;
        QTest::newRow("16 (Qt-written DIB)") << 16 << 2;
    }

    void foreignIconLoadsLikeQtReadsIt()
    {
        QFETCH(int, size);
        QFETCH(int, index);
        using namespace iconfiles;
        const QByteArray file = Assemble({WrittenPart(Sample(32, qRgb(40, 160, 40))),
                                          WrittenPart(Sample(256, qRgba(40, 40, 200, 200)), "png"),
                                          WrittenPart(Sample(16, qRgb(230, 180, 20)))});
        IconDirEntry e;
        QVERIFY(FindIconEntry(file, qint16(size), 32, &e));
        QCOMPARE(e.index, index);
        const QImage ours = IconImageFromData(file, qint16(size), 32);
        QCOMPARE(ours.size(), QSize(size, size));
        const QImage whole = WholeFileDecode(file, index);
        QVERIFY(!whole.isNull());
        QCOMPARE(ours.convertToFormat(QImage::Format_ARGB32), whole);
        QVERIFY(CountAlpha(ours)[0] > 0);
    }

    void pictureTypes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSize>("extent"); // in 0.01 mm; only a metafile takes its size from it
        QTest::addColumn<QSize>("shown");  // 0 x 0: no picture
        QTest::newRow("bitmap") << 1 << QSize() << QSize(24, 24);
        QTest::newRow("metafile") << 2 << QSize() << QSize(24, 24);
        QTest::newRow("metafile, one inch by half an inch") << 2 << QSize(2540, 1270) << QSize(96, 48);
        QTest::newRow("metafile, one extent 0") << 2 << QSize(0, 1270) << QSize(24, 24);
        QTest::newRow("icon ignores extents") << 3 << QSize(2540, 1270) << QSize(24, 24);
        QTest::newRow("enhanced metafile") << 4 << QSize() << QSize(24, 24);
        QTest::newRow("none") << 0 << QSize() << QSize(0, 0);
        QTest::newRow("five") << 5 << QSize() << QSize(0, 0);
        QTest::newRow("negative") << -1 << QSize() << QSize(0, 0);
    }

    void pictureTypes()
    {
        QFETCH(int, type);
        QFETCH(QSize, extent);
        QFETCH(QSize, shown);
        const QImage img = iconfiles::Sample(24, qRgb(10, 20, 30));
        if (shown.isEmpty())
            QTest::ignoreMessage(QtCriticalMsg, "Picture type not supported.");
        const QPixmap pm = CreatePictureFromHandle(img, qint16(type), {}, qMax(extent.width(), 0), qMax(extent.height(), 0));
        QCOMPARE(pm.isNull(), shown.isEmpty());
        QCOMPARE(pm.size(), shown);
        if (shown == img.size())
            QCOMPARE(pm.toImage().convertToFormat(QImage::Format_ARGB32), img);
    }

    void bitmapPaletteReplacesColourTable()
    {
        QImage indexed(4, 4, QImage::Format_Indexed8);
        indexed.setColorTable({qRgb(255, 0, 0)});
        indexed.fill(0);
        const QImage pm = CreatePictureFromHandle(indexed, PICTYPE_BITMAP, {qRgb(0, 0, 255)}).toImage();
        QCOMPARE(pm.pixel(1, 1), qRgb(0, 0, 255));
        QCOMPARE(indexed.pixel(1, 1), qRgb(255, 0, 0)); // the caller's image keeps its own colours
    }
};

QTEST_MAIN(tst_modSWGraphics)
#include "tst_modswgraphics.moc"
