// Build-time tool: draws the printer page's navigation icon and writes it as a classic
// multi-image icon file (resource "NAVGRAPHIC" 500).
//
//   makenavicon OUT.ico [PREVIEW.png]
//
// Eight images, largest first, each size once as 8 bpp (256-colour palette and AND mask)
// and once as 32 bpp (BGRA with alpha), every one a BITMAPINFOHEADER DIB whose height
// counts the colour rows and the mask rows. The 8 bpp images are drawn without
// antialiasing and without the soft shadow, so that they quantise to their own few flat
// colours exactly; the 32 bpp images carry smooth edges and a shadow.
#include <QColor>
#include <QSaveFile>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct Palette {
    QColor body{0x3F, 0x5A, 0x73};
    QColor lid{0x5B, 0x7A, 0x96};
    QColor slot{0x1F, 0x2D, 0x3A};
    QColor paper{0xFF, 0xFF, 0xFF};
    QColor edge{0x2B, 0x3A, 0x48};
    QColor text{0x2F, 0x86, 0xD8};
    QColor led{0x3C, 0xC4, 0x6B};
};

// The glyph is laid out on a 16-unit grid; every rectangle snaps to whole pixels so that
// the 16-pixel image stays crisp and the larger ones scale without blur.
class Glyph {
public:
    explicit Glyph(int size) : m_unit(size / 16.0), m_line(std::max(1.0, std::round(size / 32.0))) {}

    QRectF R(double x0, double y0, double x1, double y1) const
    {
        auto snap = [this](double v) { return std::round(v * m_unit); };
        return QRectF(QPointF(snap(x0), snap(y0)), QPointF(snap(x1), snap(y1)));
    }

    // A filled rectangle with an outline drawn inside its bounds.
    void Sheet(QPainter &p, const QRectF &r, const QColor &fill, const QColor &edge) const
    {
        p.fillRect(r, edge);
        p.fillRect(r.adjusted(m_line, m_line, -m_line, -m_line), fill);
    }

    void Draw(QPainter &p, bool smooth) const
    {
        const Palette c;
        p.setRenderHint(QPainter::Antialiasing, smooth);
        p.setPen(Qt::NoPen);

        if (smooth) {
            // Soft shadow under the body: the only translucent part besides the edges.
            for (int i = 3; i >= 1; --i) {
                QColor shade(0, 0, 0, 22 * (4 - i));
                p.setBrush(shade);
                const QRectF s = R(1.5, 6.5, 14.5, 13.0).adjusted(-i * 0.5, -i * 0.5 + m_unit * 0.6, i * 0.5, i * 0.5 + m_unit * 0.6);
                p.drawRoundedRect(s, m_unit * 1.6, m_unit * 1.6);
            }
        }

        // Sheet waiting at the back.
        Sheet(p, R(4, 1, 12, 7), c.paper, c.edge);

        // Body with a lighter lid.
        const double radius = smooth ? m_unit * 1.4 : 0.0;
        p.setBrush(c.edge);
        const QRectF body = R(1, 5, 15, 12.5);
        if (radius > 0)
            p.drawRoundedRect(body, radius, radius);
        else
            p.drawRect(body);
        p.setBrush(c.body);
        const QRectF inner = body.adjusted(m_line, m_line, -m_line, -m_line);
        if (radius > 0)
            p.drawRoundedRect(inner, radius - m_line, radius - m_line);
        else
            p.drawRect(inner);
        p.fillRect(QRectF(inner.left(), inner.top(), inner.width(), std::round(2 * m_unit) - m_line), c.lid);

        // Ready light.
        const QRectF led = R(12, 8, 13.5, 9.5);
        p.setBrush(c.led);
        if (smooth)
            p.drawEllipse(led);
        else
            p.drawRect(led);

        // Paper slot and the printed page coming out of it.
        p.fillRect(R(3, 10, 13, 11), c.slot);
        Sheet(p, R(4, 10.5, 12, 15.5), c.paper, c.edge);
        p.fillRect(R(5.5, 12, 10.5, 12).adjusted(0, 0, 0, m_line), c.text);
        p.fillRect(R(5.5, 13.5, 9, 13.5).adjusted(0, 0, 0, m_line), c.text);
    }

private:
    double m_unit;
    double m_line;
};

QImage Render(int size, bool smooth)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    Glyph(size).Draw(p, smooth);
    p.end();
    return img;
}

void PutU16(QByteArray &b, quint16 v)
{
    char raw[2];
    qToLittleEndian(v, raw);
    b.append(raw, 2);
}

void PutU32(QByteArray &b, quint32 v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}

int RowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

// AND mask rows, bottom-up: a set bit marks a transparent pixel.
QByteArray AndMask(const QImage &img)
{
    const int stride = RowBytes(img.width(), 1);
    QByteArray mask;
    for (int y = img.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < img.width(); ++x) {
            if (qAlpha(img.pixel(x, y)) < 128)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        mask.append(row);
    }
    return mask;
}

QByteArray InfoHeader(int size, int bits, int imageBytes)
{
    QByteArray h;
    PutU32(h, 40);
    PutU32(h, quint32(size));
    PutU32(h, quint32(size * 2)); // colour rows plus mask rows
    PutU16(h, 1);
    PutU16(h, quint16(bits));
    PutU32(h, 0); // BI_RGB
    PutU32(h, quint32(imageBytes));
    PutU32(h, 0);
    PutU32(h, 0);
    PutU32(h, 0); // 0 = the full 2^bits palette
    PutU32(h, 0);
    return h;
}

bool Dib8(const QImage &img, QByteArray *out)
{
    QList<QRgb> colours;
    colours.append(qRgb(0, 0, 0)); // transparent pixels use index 0
    const int stride = RowBytes(img.width(), 8);
    QByteArray pixels;
    for (int y = img.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = img.pixel(x, y);
            if (qAlpha(px) < 128)
                continue;
            const QRgb opaque = px | 0xFF000000u;
            qsizetype idx = colours.indexOf(opaque);
            if (idx < 0) {
                if (colours.size() == 256)
                    return false;
                colours.append(opaque);
                idx = colours.size() - 1;
            }
            row[x] = char(idx);
        }
        pixels.append(row);
    }
    const QByteArray mask = AndMask(img);
    QByteArray dib = InfoHeader(img.width(), 8, int(pixels.size() + mask.size()));
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < colours.size() ? colours.at(i) : qRgb(0, 0, 0);
        dib.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    }
    dib.append(pixels).append(mask);
    *out = dib;
    return true;
}

QByteArray Dib32(const QImage &img)
{
    QByteArray pixels;
    for (int y = img.height() - 1; y >= 0; --y) {
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = img.pixel(x, y); // ARGB32 is straight alpha, as the DIB wants
            pixels.append(char(qBlue(px))).append(char(qGreen(px))).append(char(qRed(px))).append(char(qAlpha(px)));
        }
    }
    const QByteArray mask = AndMask(img);
    QByteArray dib = InfoHeader(img.width(), 32, int(pixels.size() + mask.size()));
    dib.append(pixels).append(mask);
    return dib;
}

struct Entry {
    int size;
    int bits;
    QImage image;
    QByteArray dib;
};

QImage Preview(const QList<Entry> &entries)
{
    // Each image at 4x on a checkerboard, 8 bpp above 32 bpp, largest on the left.
    const int zoom = 4, gap = 16;
    int width = gap;
    for (int i = 0; i < entries.size(); i += 2)
        width += entries[i].size * zoom + gap;
    QImage sheet(width, 2 * (48 * zoom + gap) + gap, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    int x = gap;
    for (int i = 0; i < entries.size(); ++i) {
        const Entry &e = entries[i];
        const int y = gap + (e.bits == 32 ? 48 * zoom + gap : 0);
        const int side = e.size * zoom;
        for (int cy = 0; cy < side; cy += 8)
            for (int cx = 0; cx < side; cx += 8)
                p.fillRect(x + cx, y + cy, 8, 8, ((cx + cy) / 8) % 2 ? QColor(0xCC, 0xCC, 0xCC) : QColor(0xF4, 0xF4, 0xF4));
        p.drawImage(QRect(x, y, side, side), e.image);
        if (e.bits == 32)
            x += side + gap;
    }
    return sheet;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: makenavicon OUT.ico [PREVIEW.png]\n");
        return 2;
    }
    QList<Entry> entries;
    for (int size : {48, 32, 24, 16}) {
        for (int bits : {8, 32}) {
            Entry e{size, bits, Render(size, bits == 32), {}};
            if (bits == 8) {
                if (!Dib8(e.image, &e.dib)) {
                    std::fprintf(stderr, "makenavicon: %dx%d needs more than 256 colours\n", size, size);
                    return 1;
                }
            } else {
                e.dib = Dib32(e.image);
            }
            entries.append(e);
        }
    }

    QByteArray file;
    PutU16(file, 0);
    PutU16(file, 1); // icon
    PutU16(file, quint16(entries.size()));
    quint32 offset = quint32(6 + 16 * entries.size());
    for (const Entry &e : entries) {
        file.append(char(e.size)).append(char(e.size));
        file.append(char(0)).append(char(0)); // colour count 0 (>= 256 colours), reserved
        PutU16(file, 1);
        PutU16(file, quint16(e.bits));
        PutU32(file, quint32(e.dib.size()));
        PutU32(file, offset);
        offset += quint32(e.dib.size());
    }
    for (const Entry &e : entries)
        file.append(e.dib);

    QSaveFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size() || !out.commit()) {
        std::fprintf(stderr, "makenavicon: cannot write %s\n", argv[1]);
        return 1;
    }
    if (argc > 2 && !Preview(entries).save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "makenavicon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
