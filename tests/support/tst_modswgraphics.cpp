// The navigation icon resource and the picture helpers built on it.
#include "iconfiles.h"
#include "modswgraphics.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtTest>

using namespace modSWGraphics;

namespace {

QByteArray NavIconBytes()
{
    QFile f(QStringLiteral(":/NAVGRAPHIC/500"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What Qt's ICO reader makes of image `index` when it reads the whole file itself.
QImage WholeFileDecode(const QByteArray &file, int index)
{
    QByteArray copy = file;
    QBuffer buf(&copy);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf, "ico");
    if (!reader.jumpToImage(index))
        return {};
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

struct AlphaCounts {
    int transparent = 0;
    int partial = 0;
    int opaque = 0;
};

AlphaCounts CountAlpha(const QImage &img)
{
    AlphaCounts c;
    const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const int a = qAlpha(argb.pixel(x, y));
            (a == 0 ? c.transparent : a == 255 ? c.opaque : c.partial)++;
        }
    }
    return c;
}

} // namespace

class tst_modSWGraphics : public QObject {
    Q_OBJECT

private slots:
    void resourceHoldsEightImagesInOrder();
    void resourceImagesAreClassicDibs();
    void picksFirstEntryOfSizeAndDepth_data();
    void picksFirstEntryOfSizeAndDepth();
    void navigationPicturesShowTheGlyph_data();
    void navigationPicturesShowTheGlyph();
    void eightBitImageIsNotTheThirtyTwoBitOne();
    void nothingWithoutAMatch_data();
    void nothingWithoutAMatch();
    void cursorFileGivesNothing();
    void foreignIconLoadsLikeQtReadsIt_data();
    void foreignIconLoadsLikeQtReadsIt();
    void pictureTypes_data();
    void pictureTypes();
    void metafileExtentsSetTheSize();
    void bitmapPaletteReplacesColourTable();
};

void tst_modSWGraphics::resourceHoldsEightImagesInOrder()
{
    const QByteArray bytes = NavIconBytes();
    QVERIFY2(!bytes.isEmpty(), "the icon resource is not linked into this binary");
    QList<IconDirEntry> entries;
    QVERIFY(ReadIconDirectory(bytes, &entries));
    const QList<QPair<int, int>> expected = {{48, 8}, {48, 32}, {32, 8}, {32, 32}, {24, 8}, {24, 32}, {16, 8}, {16, 32}};
    QCOMPARE(entries.size(), expected.size());
    for (int i = 0; i < entries.size(); ++i) {
        QCOMPARE(entries[i].width, expected[i].first);
        QCOMPARE(entries[i].height, expected[i].first);
        QCOMPARE(entries[i].bitsPerPixel, expected[i].second);
        QCOMPARE(entries[i].planes, 1);
    }
}

void tst_modSWGraphics::resourceImagesAreClassicDibs()
{
    const QByteArray bytes = NavIconBytes();
    QList<IconDirEntry> entries;
    QVERIFY(ReadIconDirectory(bytes, &entries));
    for (const IconDirEntry &e : entries) {
        const char *dib = bytes.constData() + e.offset;
        QCOMPARE(qFromLittleEndian<quint32>(dib), 40u);                      // BITMAPINFOHEADER
        QCOMPARE(qFromLittleEndian<qint32>(dib + 4), e.width);
        QCOMPARE(qFromLittleEndian<qint32>(dib + 8), 2 * e.height);          // colour rows + mask rows
        QCOMPARE(int(qFromLittleEndian<quint16>(dib + 14)), e.bitsPerPixel);
        QCOMPARE(qFromLittleEndian<quint32>(dib + 16), 0u);                  // uncompressed
        const int palette = e.bitsPerPixel == 8 ? 256 * 4 : 0;
        const int colourRow = ((e.width * e.bitsPerPixel + 31) / 32) * 4;
        const int maskRow = ((e.width + 31) / 32) * 4;
        QCOMPARE(qint64(e.bytes), qint64(40 + palette + e.height * (colourRow + maskRow)));
    }
}

void tst_modSWGraphics::picksFirstEntryOfSizeAndDepth_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("index");
    QTest::newRow("48 at 8 bpp") << 48 << 8 << 0;
    QTest::newRow("48 at 32 bpp") << 48 << 32 << 1;
    QTest::newRow("32 at 8 bpp is the third image") << 32 << 8 << 2;
    QTest::newRow("32 at 32 bpp (large navigation picture)") << 32 << 32 << 3;
    QTest::newRow("24 at 8 bpp") << 24 << 8 << 4;
    QTest::newRow("24 at 32 bpp") << 24 << 32 << 5;
    QTest::newRow("16 at 8 bpp") << 16 << 8 << 6;
    QTest::newRow("16 at 32 bpp (small navigation picture)") << 16 << 32 << 7;
}

void tst_modSWGraphics::picksFirstEntryOfSizeAndDepth()
{
    QFETCH(int, size);
    QFETCH(int, bits);
    QFETCH(int, index);
    const QByteArray bytes = NavIconBytes();
    IconDirEntry e;
    QVERIFY(FindIconEntry(bytes, qint16(size), qint16(bits), &e));
    QCOMPARE(e.index, index);

    const QPixmap pm = LoadIconPicture(500, QStringLiteral("NAVGRAPHIC"), qint16(size), qint16(bits));
    QVERIFY(!pm.isNull());
    QCOMPARE(pm.size(), QSize(size, size));
    // Pixel for pixel what Qt reads as image `index` of the whole file.
    const QImage expected = WholeFileDecode(bytes, index);
    QVERIFY(!expected.isNull());
    QCOMPARE(pm.toImage().convertToFormat(QImage::Format_ARGB32), expected);
}

void tst_modSWGraphics::navigationPicturesShowTheGlyph_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("large") << 32;
    QTest::newRow("small") << 16;
}

void tst_modSWGraphics::navigationPicturesShowTheGlyph()
{
    QFETCH(int, size);
    const QImage img = LoadIconPicture(500, QStringLiteral("NAVGRAPHIC"), qint16(size), 32).toImage();
    QCOMPARE(img.size(), QSize(size, size));
    QVERIFY(img.hasAlphaChannel());
    const AlphaCounts c = CountAlpha(img);
    // A solid printer with clear space around it, not an empty or filled square.
    QVERIFY2(c.opaque > size * size / 3, qPrintable(QString::number(c.opaque)));
    QVERIFY2(c.transparent > size * size / 10, qPrintable(QString::number(c.transparent)));
    QCOMPARE(qAlpha(img.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(img.pixel(size - 1, 0)), 0);
    // Paper at the top middle is white; the body in the middle is a dark blue-grey.
    const QRgb paper = img.pixel(size / 2, size * 3 / 16);
    QCOMPARE(qAlpha(paper), 255);
    QVERIFY(qRed(paper) > 240 && qGreen(paper) > 240 && qBlue(paper) > 240);
    const QRgb body = img.pixel(size / 4, size * 9 / 16);
    QCOMPARE(qAlpha(body), 255);
    QVERIFY(qGray(body) < 128);
    QVERIFY(qBlue(body) > qRed(body));
}

void tst_modSWGraphics::eightBitImageIsNotTheThirtyTwoBitOne()
{
    const QImage eight = LoadIconPicture(500, QStringLiteral("NAVGRAPHIC"), 32, 8).toImage();
    const QImage deep = LoadIconPicture(500, QStringLiteral("NAVGRAPHIC"), 32, 32).toImage();
    QVERIFY(!eight.isNull() && !deep.isNull());
    // The palette image has only a mask (no partial transparency); the deep one has soft edges.
    QCOMPARE(CountAlpha(eight).partial, 0);
    QVERIFY(CountAlpha(deep).partial > 0);
    QVERIFY(eight.convertToFormat(QImage::Format_ARGB32) != deep.convertToFormat(QImage::Format_ARGB32));
}

void tst_modSWGraphics::nothingWithoutAMatch_data()
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
    QTest::newRow("negative size") << QVariant(500) << nav << -16 << 32 << false;
    QTest::newRow("other id") << QVariant(501) << nav << 32 << 32 << false;
    QTest::newRow("other type") << QVariant(500) << QVariant(QStringLiteral("ICON")) << 32 << 32 << false;
    QTest::newRow("null id") << QVariant() << nav << 32 << 32 << false;
    QTest::newRow("null type") << QVariant(500) << QVariant() << 32 << 32 << false;
    QTest::newRow("path in the type") << QVariant(500) << QVariant(QStringLiteral("x/../NAVGRAPHIC")) << 32 << 32 << false;
    // Resource names ignore case, and a numeric id may come as text.
    QTest::newRow("type in lower case") << QVariant(500) << QVariant(QStringLiteral("navgraphic")) << 32 << 32 << true;
    QTest::newRow("id as text") << QVariant(QStringLiteral("500")) << nav << 16 << 32 << true;
}

void tst_modSWGraphics::nothingWithoutAMatch()
{
    QFETCH(QVariant, id);
    QFETCH(QVariant, type);
    QFETCH(int, size);
    QFETCH(int, bits);
    QFETCH(bool, found);
    QCOMPARE(!LoadIconPicture(id, type, qint16(size), qint16(bits)).isNull(), found);
}

void tst_modSWGraphics::cursorFileGivesNothing()
{
    QByteArray bytes = NavIconBytes();
    QVERIFY(!IconImageFromData(bytes, 32, 32).isNull());
    iconfiles::SetU16(bytes, 2, 2); // cursor
    QVERIFY(IconImageFromData(bytes, 32, 32).isNull());
    QVERIFY(!FindIconEntry(bytes, 32, 32, nullptr));
}

void tst_modSWGraphics::foreignIconLoadsLikeQtReadsIt_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("index");
    QTest::newRow("48 (Qt-written DIB)") << 48 << 0;
    QTest::newRow("32 (Qt-written DIB)") << 32 << 1;
    QTest::newRow("256 (PNG, size byte 0)") << 256 << 2;
    QTest::newRow("16 (Qt-written DIB)") << 16 << 3;
}

void tst_modSWGraphics::foreignIconLoadsLikeQtReadsIt()
{
    QFETCH(int, size);
    QFETCH(int, index);
    const QByteArray file = iconfiles::ForeignIcon();
    IconDirEntry e;
    QVERIFY(FindIconEntry(file, qint16(size), 32, &e));
    QCOMPARE(e.index, index);
    const QImage ours = IconImageFromData(file, qint16(size), 32);
    QCOMPARE(ours.size(), QSize(size, size));
    const QImage whole = WholeFileDecode(file, index);
    QVERIFY(!whole.isNull());
    QCOMPARE(ours.convertToFormat(QImage::Format_ARGB32), whole);
    QVERIFY(CountAlpha(ours).transparent > 0);
}

void tst_modSWGraphics::pictureTypes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("picture");
    QTest::newRow("bitmap") << 1 << true;
    QTest::newRow("metafile") << 2 << true;
    QTest::newRow("icon") << 3 << true;
    QTest::newRow("enhanced metafile") << 4 << true;
    QTest::newRow("none") << 0 << false;
    QTest::newRow("five") << 5 << false;
    QTest::newRow("negative") << -1 << false;
}

void tst_modSWGraphics::pictureTypes()
{
    QFETCH(int, type);
    QFETCH(bool, picture);
    const QImage img = iconfiles::Sample(24, qRgb(10, 20, 30));
    if (!picture)
        QTest::ignoreMessage(QtCriticalMsg, "Picture type not supported.");
    const QPixmap pm = CreatePictureFromHandle(img, qint16(type));
    QCOMPARE(!pm.isNull(), picture);
    if (picture)
        QCOMPARE(pm.toImage().convertToFormat(QImage::Format_ARGB32), img);
}

void tst_modSWGraphics::metafileExtentsSetTheSize()
{
    const QImage img = iconfiles::Sample(10, qRgb(10, 20, 30));
    // One inch by half an inch in 0.01 mm, at 96 dpi.
    QCOMPARE(CreatePictureFromHandle(img, PICTYPE_METAFILE, {}, 2540, 1270).size(), QSize(96, 48));
    QCOMPARE(CreatePictureFromHandle(img, PICTYPE_METAFILE, {}, 0, 1270).size(), QSize(10, 10));
    QCOMPARE(CreatePictureFromHandle(img, PICTYPE_ICON, {}, 2540, 1270).size(), QSize(10, 10));
}

void tst_modSWGraphics::bitmapPaletteReplacesColourTable()
{
    QImage indexed(4, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0)});
    indexed.fill(0);
    const QImage pm = CreatePictureFromHandle(indexed, PICTYPE_BITMAP, {qRgb(0, 0, 255)}).toImage();
    QCOMPARE(pm.pixel(1, 1), qRgb(0, 0, 255));
    // The caller's image keeps its own colours.
    QCOMPARE(indexed.pixel(1, 1), qRgb(255, 0, 0));
}

QTEST_MAIN(tst_modSWGraphics)
#include "tst_modswgraphics.moc"
