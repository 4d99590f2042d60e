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
    return iconfiles::Assemble({iconfiles::WrittenPart(iconfiles::Sample(16, qRgb(200, 40, 40))),
                                iconfiles::WrittenPart(iconfiles::Sample(32, qRgb(40, 40, 200)))});
}

// Where the size and offset fields of the first and second directory entries are.
constexpr qsizetype kSize0 = 6 + 8, kOffset0 = 6 + 12;
constexpr qsizetype kSize1 = 22 + 8, kOffset1 = 22 + 12;
quint32 Offset1(const QByteArray &b) { return qFromLittleEndian<quint32>(b.constData() + kOffset1); }

} // namespace

class tst_modSWGraphicsMalformed : public QObject {
    Q_OBJECT

private slots:
    void malformedGivesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray base = TwoImageIcon();
        const quint32 total = quint32(base.size());
        QByteArray b;
        QTest::newRow("truncated header") << base.left(5);
        b = base; SetU16(b, 2, 2);
        QTest::newRow("header type 2 (cursor)") << b;
        b = base; SetU16(b, 4, 0);
        QTest::newRow("no images") << b;
        b = base; SetU16(b, 4, quint16(total / 16 + 1));
        QTest::newRow("count too large for the data") << b;
        b = base; SetU32(b, kOffset1, total);
        QTest::newRow("offset at the end") << b;
        b = base; SetU32(b, kOffset1, 0);
        QTest::newRow("offset inside the header") << b;
        b = base; SetU32(b, kSize1, total - Offset1(base) + 1);
        QTest::newRow("size one past the end") << b;
        b = base; SetU32(b, kSize1, 0);
        QTest::newRow("zero-sized entry") << b;
        // 0xFFFFFFF0 + 0x20 wraps to 0x10 in 32 bits.
        b = base; SetU32(b, kOffset1, 0xFFFFFFF0u); SetU32(b, kSize1, 0x20);
        QTest::newRow("offset plus size wraps") << b;
        b = base; SetU32(b, kOffset0, 0x7FFFFFFFu); SetU32(b, kSize0, 0x7FFFFFFFu);
        QTest::newRow("offset plus size overflows a signed int") << b;
    }

    void malformedGivesNothing()
    {
        QFETCH(QByteArray, bytes);
        const ExactBuffer buf(bytes);
        for (qint16 size : {16, 32}) {
            QVERIFY(!FindIconEntry(buf.View(), size, 32, nullptr));
            QVERIFY(IconImageFromData(buf.View(), size, 32).isNull());
        }
    }

    void everyTruncationGivesNothing()
    {
        const QByteArray base = TwoImageIcon();
        for (qsizetype n = 0; n <= base.size(); ++n) {
            const ExactBuffer buf(base.left(n));
            const bool any = !IconImageFromData(buf.View(), 16, 32).isNull() || !IconImageFromData(buf.View(), 32, 32).isNull();
            if (any != (n == base.size())) // the whole file, and only the whole file, gives its images
                QFAIL(qPrintable(QStringLiteral("wrong answer for the first %1 of %2 bytes").arg(n).arg(base.size())));
        }
    }

    void garbagePayloadStaysInside_data()
    {
        // The directory is sound but the image bytes are not: whatever the decoder makes of
        // them, the answer is nothing or an image of the entry's size.
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray base = TwoImageIcon();
        const quint32 dib = Offset1(base);
        QByteArray b;
        b = base; SetU32(b, dib + 4, 4096); SetU32(b, dib + 8, 8192);
        QTest::newRow("DIB claims 4096 pixels") << b;
        b = base; SetU32(b, dib + 4, 0x80000000u); SetU32(b, dib + 8, 0x80000000u);
        QTest::newRow("DIB claims negative size") << b;
        b = base; SetU32(b, dib, 0xFFFFFFFFu);
        QTest::newRow("DIB header size huge") << b;
        b = base; SetU16(b, dib + 14, 8);
        QTest::newRow("DIB says 8 bpp without palette") << b;
        b = base; b.replace(dib, 8, QByteArray("\x89PNG\r\n\x1a\n", 8));
        QTest::newRow("PNG signature then DIB bytes") << b;
        b = base; SetU32(b, kSize1, 3);
        QTest::newRow("three-byte image") << b;
    }

    void garbagePayloadStaysInside()
    {
        QFETCH(QByteArray, bytes);
        const ExactBuffer buf(bytes);
        const QImage img = IconImageFromData(buf.View(), 32, 32);
        QVERIFY(img.isNull() || img.size() == QSize(32, 32));
        QCOMPARE(IconImageFromData(buf.View(), 16, 32).size(), QSize(16, 16)); // the sound entry is still found
    }

    void randomDirectoryDamage()
    {
        QRandomGenerator rng(0x51C0); // fixed seed: the same damage every run
        const QByteArray base = TwoImageIcon();
        for (int round = 0; round < 400; ++round) {
            QByteArray b = base;
            for (int h = int(rng.bounded(4)); h >= 0; --h)
                b[rng.bounded(6 + 2 * 16)] = char(rng.bounded(256));
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
};

QTEST_MAIN(tst_modSWGraphicsMalformed)
#include "tst_modswgraphics_malformed.moc"
