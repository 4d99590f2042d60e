// Icon files for the picture tests, assembled from images that other writers produced
// (Qt's own ICO writer for DIB entries, Qt's PNG writer for a compressed entry), so the
// parser is checked against more than the one file our own tool writes.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QDataStream>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QPainter>
#include <QtEndian>

namespace iconfiles {

struct Part {
    int width;  // 256 is written as 0
    int height;
    int bits;
    QByteArray payload;
};

inline void PutU16(QByteArray &b, quint16 v)
{
    char raw[2];
    qToLittleEndian(v, raw);
    b.append(raw, 2);
}

inline void PutU32(QByteArray &b, quint32 v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}

inline void SetU16(QByteArray &b, qsizetype at, quint16 v) { qToLittleEndian(v, b.data() + at); }
inline void SetU32(QByteArray &b, qsizetype at, quint32 v) { qToLittleEndian(v, b.data() + at); }

// A picture with some transparency that differs by size, so entries can be told apart.
inline QImage Sample(int size, QRgb colour)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgba(colour));
    p.drawEllipse(QRectF(size * 0.1, size * 0.1, size * 0.8, size * 0.8));
    p.fillRect(QRectF(0, size * 0.45, size / 2.0, size * 0.1), Qt::black);
    p.end();
    return img;
}

// The single image payload that Qt's ICO writer produces for `img`.
inline Part QtIcoPart(const QImage &img)
{
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    QImageWriter writer(&buf, "ico");
    if (!writer.write(img))
        return {};
    // Header and the one directory entry, read as a stream.
    const QByteArray file = buf.data();
    QDataStream in(file);
    in.setByteOrder(QDataStream::LittleEndian);
    quint16 reserved = 0, type = 0, count = 0, planes = 0, bits = 0;
    quint8 w = 0, h = 0, colours = 0, pad = 0;
    quint32 bytes = 0, offset = 0;
    in >> reserved >> type >> count >> w >> h >> colours >> pad >> planes >> bits >> bytes >> offset;
    if (in.status() != QDataStream::Ok || qint64(offset) + bytes > file.size())
        return {};
    return {img.width(), img.height(), bits, file.mid(offset, bytes)};
}

inline Part PngPart(const QImage &img)
{
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return {img.width(), img.height(), 32, buf.data()};
}

// Directory in the order given; the image data is stored in reverse order, as some
// writers do, so offsets really have to be followed.
inline QByteArray Assemble(const QList<Part> &parts, quint16 type = 1)
{
    QByteArray file;
    PutU16(file, 0);
    PutU16(file, type);
    PutU16(file, quint16(parts.size()));
    QList<quint32> offsets(parts.size());
    quint32 offset = quint32(6 + 16 * parts.size());
    for (qsizetype i = parts.size() - 1; i >= 0; --i) {
        offsets[i] = offset;
        offset += quint32(parts[i].payload.size());
    }
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const Part &p = parts[i];
        file.append(char(p.width & 0xFF)).append(char(p.height & 0xFF)).append('\0').append('\0');
        PutU16(file, 1);
        PutU16(file, quint16(p.bits));
        PutU32(file, quint32(p.payload.size()));
        PutU32(file, offsets[i]);
    }
    for (qsizetype i = parts.size() - 1; i >= 0; --i)
        file.append(parts[i].payload);
    return file;
}

// Four images from other writers: 48, 32 and 16 pixels as Qt-written DIBs, 256 pixels
// as a PNG (width and height bytes 0).
inline QByteArray ForeignIcon()
{
    return Assemble({QtIcoPart(Sample(48, qRgba(200, 40, 40, 255))), QtIcoPart(Sample(32, qRgba(40, 160, 40, 255))),
                     PngPart(Sample(256, qRgba(40, 40, 200, 200))), QtIcoPart(Sample(16, qRgba(230, 180, 20, 255)))});
}

} // namespace iconfiles
