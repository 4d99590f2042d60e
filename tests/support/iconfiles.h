// Icon files for the picture tests, assembled from images that other writers produced
// (Qt's own ICO writer for DIB entries, Qt's PNG writer for a compressed entry), so the
// parser is checked against more than the one file our own tool writes.
#pragma once

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace iconfiles {

struct Part {
    int size; // 256 is written as 0
    int bits;
    QByteArray payload;
};

inline void SetU16(QByteArray &b, qsizetype at, quint16 v) { qToLittleEndian(v, b.data() + at); }
inline void SetU32(QByteArray &b, qsizetype at, quint32 v) { qToLittleEndian(v, b.data() + at); }

// A circle and a bar on a clear ground: opaque, soft-edged and transparent pixels.
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

// The one image payload that Qt's ICO writer (format "ico") or PNG writer produces for `img`.
inline Part WrittenPart(const QImage &img, const char *format = "ico")
{
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format);
    const QByteArray file = buf.data();
    if (qstrcmp(format, "ico") != 0)
        return {img.width(), 32, file};
    std::array<char, 22> head{}; // the header and the one directory entry
    std::copy_n(file.cbegin(), qMin(file.size(), qsizetype(head.size())), head.begin());
    const quint32 bytes = qFromLittleEndian<quint32>(head.data() + 14);
    const quint32 offset = qFromLittleEndian<quint32>(head.data() + 18);
    return {img.width(), qFromLittleEndian<quint16>(head.data() + 12), file.mid(offset, bytes)};
}

// Directory in the order given; the image data is stored in reverse order, as some
// writers do, so offsets really have to be followed.
inline QByteArray Assemble(const QList<Part> &parts)
{
    QByteArray file(6 + 16 * parts.size(), '\0');
    SetU16(file, 2, 1);
    SetU16(file, 4, quint16(parts.size()));
    for (qsizetype i = parts.size() - 1; i >= 0; --i) {
        const qsizetype entry = 6 + 16 * i;
        file[entry] = file[entry + 1] = char(parts[i].size & 0xFF);
        SetU16(file, entry + 4, 1);
        SetU16(file, entry + 6, quint16(parts[i].bits));
        SetU32(file, entry + 8, quint32(parts[i].payload.size()));
        SetU32(file, entry + 12, quint32(file.size()));
        file.append(parts[i].payload);
    }
    return file;
}

} // namespace iconfiles
