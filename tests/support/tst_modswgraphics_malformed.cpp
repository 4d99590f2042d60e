// Damaged icon files give nothing and are never read past their end. This suite is also
// built with AddressSanitizer and UBSan; every buffer is handed over in an allocation of
// exactly its own size so that a single byte read beyond it is caught.
#include "iconfiles.h"
#include "modswgraphics.h"

#include <QRandomGenerator>
#include <QtTest>

#include <memory>

using namespace modSWGraphics;
using iconfiles::SetU16;
using iconfiles::SetU32;

namespace {

// The bytes in a heap block of exactly their size (QByteArray keeps spare room and a
// terminator, which would hide a read just past the end).
struct ExactBuffer {
    explicit ExactBuffer(const QByteArray &bytes) : size(bytes.size()), data(new char[size_t(bytes.size())])
    {
        std::copy(bytes.cbegin(), bytes.cend(), data.get());
    }
    QByteArrayView View() const { return QByteArrayView(data.get(), size); }
    qsizetype size;
    std::unique_ptr<char[]> data;
};

QByteArray TwoImageIcon()
{
    return iconfiles::Assemble({iconfiles::QtIcoPart(iconfiles::Sample(16, qRgb(200, 40, 40))),
                                iconfiles::QtIcoPart(iconfiles::Sample(32, qRgb(40, 40, 200)))});
}

constexpr qsizetype kEntry0 = 6;
constexpr qsizetype kEntry1 = 22;

} // namespace

class tst_modSWGraphicsMalformed : public QObject {
    Q_OBJECT

private slots:
    void baseFileIsSound();
    void malformedGivesNothing_data();
    void malformedGivesNothing();
    void everyTruncationGivesNothing();
    void garbagePayloadStaysInside_data();
    void garbagePayloadStaysInside();
    void randomDirectoryDamage();
};

void tst_modSWGraphicsMalformed::baseFileIsSound()
{
    const ExactBuffer buf(TwoImageIcon());
    QCOMPARE(IconImageFromData(buf.View(), 16, 32).size(), QSize(16, 16));
    QCOMPARE(IconImageFromData(buf.View(), 32, 32).size(), QSize(32, 32));
}

void tst_modSWGraphicsMalformed::malformedGivesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray base = TwoImageIcon();
    const quint32 total = quint32(base.size());
    const quint32 offset1 = qFromLittleEndian<quint32>(base.constData() + kEntry1 + 12);
    QByteArray b;

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated header") << base.left(5);
    QTest::newRow("header only") << base.left(6);
    QTest::newRow("directory cut inside the entry") << base.left(kEntry1 + 15);
    b = base; SetU16(b, 2, 2);
    QTest::newRow("cursor") << b;
    b = base; SetU16(b, 2, 0);
    QTest::newRow("type 0") << b;
    b = base; SetU16(b, 4, 0);
    QTest::newRow("no images") << b;
    b = base; SetU16(b, 4, quint16(total / 16 + 1));
    QTest::newRow("count too large for the data") << b;
    b = base; SetU16(b, 4, 0xFFFF);
    QTest::newRow("huge count") << b;
    b = base; SetU32(b, kEntry1 + 12, total);
    QTest::newRow("offset at the end") << b;
    b = base; SetU32(b, kEntry1 + 12, 0xFFFFFFFFu);
    QTest::newRow("offset far past the end") << b;
    b = base; SetU32(b, kEntry1 + 12, 0);
    QTest::newRow("offset inside the header") << b;
    b = base; SetU32(b, kEntry1 + 8, total - offset1 + 1);
    QTest::newRow("size one past the end") << b;
    b = base; SetU32(b, kEntry1 + 8, 0xFFFFFFFFu);
    QTest::newRow("size 4 GiB") << b;
    b = base; SetU32(b, kEntry1 + 8, 0);
    QTest::newRow("zero-sized entry") << b;
    // 0xFFFFFFF0 + 0x20 wraps to 0x10 in 32 bits.
    b = base; SetU32(b, kEntry1 + 12, 0xFFFFFFF0u); SetU32(b, kEntry1 + 8, 0x20);
    QTest::newRow("offset plus size wraps") << b;
    b = base; SetU32(b, kEntry0 + 8, 0x7FFFFFFFu); SetU32(b, kEntry0 + 12, 0x7FFFFFFFu);
    QTest::newRow("offset plus size overflows a signed int") << b;
    QTest::newRow("last image cut short") << base.left(base.size() - 1);
}

void tst_modSWGraphicsMalformed::malformedGivesNothing()
{
    QFETCH(QByteArray, bytes);
    const ExactBuffer buf(bytes);
    QVERIFY(!FindIconEntry(buf.View(), 16, 32, nullptr));
    QVERIFY(!FindIconEntry(buf.View(), 32, 32, nullptr));
    QVERIFY(IconImageFromData(buf.View(), 16, 32).isNull());
    QVERIFY(IconImageFromData(buf.View(), 32, 32).isNull());
}

void tst_modSWGraphicsMalformed::everyTruncationGivesNothing()
{
    const QByteArray base = TwoImageIcon();
    for (qsizetype n = 0; n < base.size(); ++n) {
        const ExactBuffer buf(base.left(n));
        if (!IconImageFromData(buf.View(), 16, 32).isNull() || !IconImageFromData(buf.View(), 32, 32).isNull())
            QFAIL(qPrintable(QStringLiteral("an image came out of the first %1 bytes").arg(n)));
    }
}

void tst_modSWGraphicsMalformed::garbagePayloadStaysInside_data()
{
    // The directory is sound but the image bytes are not: whatever the decoder makes of
    // them, the answer is nothing or an image of the entry's size.
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray base = TwoImageIcon();
    const quint32 offset1 = qFromLittleEndian<quint32>(base.constData() + kEntry1 + 12);
    QByteArray b;

    b = base; SetU32(b, offset1 + 4, 4096); SetU32(b, offset1 + 8, 8192);
    QTest::newRow("DIB claims 4096 pixels") << b;
    b = base; SetU32(b, offset1 + 4, 0x80000000u); SetU32(b, offset1 + 8, 0x80000000u);
    QTest::newRow("DIB claims negative size") << b;
    b = base; SetU32(b, offset1, 0xFFFFFFFFu);
    QTest::newRow("DIB header size huge") << b;
    b = base; SetU16(b, offset1 + 14, 1);
    QTest::newRow("DIB says 1 bpp") << b;
    b = base; SetU16(b, offset1 + 14, 8);
    QTest::newRow("DIB says 8 bpp without palette") << b;
    b = base; b.replace(offset1, 8, QByteArray("\x89PNG\r\n\x1a\n", 8));
    QTest::newRow("PNG signature then DIB bytes") << b;
    b = base; SetU32(b, kEntry1 + 8, 3);
    QTest::newRow("three-byte image") << b;
}

void tst_modSWGraphicsMalformed::garbagePayloadStaysInside()
{
    QFETCH(QByteArray, bytes);
    const ExactBuffer buf(bytes);
    const QImage img = IconImageFromData(buf.View(), 32, 32);
    QVERIFY(img.isNull() || img.size() == QSize(32, 32));
    // The sound first entry is still found.
    QCOMPARE(IconImageFromData(buf.View(), 16, 32).size(), QSize(16, 16));
}

void tst_modSWGraphicsMalformed::randomDirectoryDamage()
{
    // Fixed seed: the same damage every run.
    QRandomGenerator rng(0x51C0);
    const QByteArray base = TwoImageIcon();
    const qsizetype directoryEnd = kEntry1 + 16;
    for (int round = 0; round < 400; ++round) {
        QByteArray b = base;
        const int hits = 1 + int(rng.bounded(4));
        for (int h = 0; h < hits; ++h)
            b[rng.bounded(int(directoryEnd))] = char(rng.bounded(256));
        const ExactBuffer buf(b);
        QList<IconDirEntry> entries;
        if (ReadIconDirectory(buf.View(), &entries)) {
            for (const IconDirEntry &e : entries)
                QVERIFY(qint64(e.offset) + e.bytes <= buf.size && e.bytes > 0);
        }
        for (qint16 size : {16, 32}) {
            const QImage img = IconImageFromData(buf.View(), size, 32);
            QVERIFY(img.isNull() || img.size() == QSize(size, size));
        }
    }
}

QTEST_MAIN(tst_modSWGraphicsMalformed)
#include "tst_modswgraphics_malformed.moc"
