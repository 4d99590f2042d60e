#include "modswgraphics.h"

#include "comabi.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QtEndian>

namespace modSWGraphics {

namespace {

constexpr qsizetype kHeaderBytes = 6;
constexpr qsizetype kEntryBytes = 16;
constexpr quint16 kTypeIcon = 1;

// The interface identifier that the picture object is created for.
const char *const kPictureInterface = "{7BF80980-BF32-101A-8BBB-00AA00300CAB}";

quint16 U16(QByteArrayView data, qsizetype at) { return qFromLittleEndian<quint16>(data.data() + at); }
quint32 U32(QByteArrayView data, qsizetype at) { return qFromLittleEndian<quint32>(data.data() + at); }

// A programming error worth a message box, but only where someone can click it away;
// without a real display (tests, offscreen runs) it goes to the log instead of blocking.
void ReportCritical(const QString &text)
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    const QString platform = app ? QGuiApplication::platformName() : QString();
    if (app && platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(), text);
        return;
    }
    qCritical("%s", qPrintable(text));
}

} // namespace

bool ReadIconDirectory(QByteArrayView data, QList<IconDirEntry> *entries)
{
    if (entries)
        entries->clear();
    if (data.size() < kHeaderBytes)
        return false;
    if (U16(data, 2) != kTypeIcon)
        return false;
    const qsizetype count = U16(data, 4);
    const qsizetype directoryEnd = kHeaderBytes + count * kEntryBytes; // at most 6 + 65535 * 16
    if (count == 0 || directoryEnd > data.size())
        return false;

    QList<IconDirEntry> found;
    found.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype at = kHeaderBytes + i * kEntryBytes;
        IconDirEntry e;
        e.index = int(i);
        e.width = quint8(data[at]) == 0 ? 256 : quint8(data[at]);
        e.height = quint8(data[at + 1]) == 0 ? 256 : quint8(data[at + 1]);
        e.colourCount = quint8(data[at + 2]);
        e.planes = U16(data, at + 4);
        e.bitsPerPixel = U16(data, at + 6);
        e.bytes = U32(data, at + 8);
        e.offset = U32(data, at + 12);
        // 64-bit sums: offset + bytes cannot wrap around.
        const qint64 end = qint64(e.offset) + qint64(e.bytes);
        if (e.bytes == 0 || qint64(e.offset) < qint64(directoryEnd) || end > qint64(data.size()))
            return false;
        found.append(e);
    }
    if (entries)
        *entries = found;
    return true;
}

bool FindIconEntry(QByteArrayView data, qint16 size, qint16 bitsPerPixel, IconDirEntry *entry)
{
    QList<IconDirEntry> entries;
    if (!ReadIconDirectory(data, &entries))
        return false;
    for (const IconDirEntry &e : entries) {
        if (e.width == size && e.bitsPerPixel == bitsPerPixel) {
            if (entry)
                *entry = e;
            return true;
        }
    }
    return false;
}

QImage IconImageFromData(QByteArrayView data, qint16 size, qint16 bitsPerPixel)
{
    IconDirEntry e;
    if (!FindIconEntry(data, size, bitsPerPixel, &e))
        return {};

    // Qt's ICO reader decodes whole icon files, not bare image payloads: give it a copy
    // of this one entry as a file of its own.
    const qsizetype fileBytes = kHeaderBytes + kEntryBytes + qsizetype(e.bytes);
    QByteArray one;
    one.reserve(fileBytes);
    char word[4];
    qToLittleEndian<quint16>(0, word);
    one.append(word, 2);
    qToLittleEndian<quint16>(kTypeIcon, word);
    one.append(word, 2);
    qToLittleEndian<quint16>(1, word);
    one.append(word, 2);
    one.append(data.sliced(kHeaderBytes + e.index * kEntryBytes, 12));
    qToLittleEndian<quint32>(quint32(kHeaderBytes + kEntryBytes), word);
    one.append(word, 4);
    one.append(data.sliced(e.offset, e.bytes));

    QImage image = QImage::fromData(one, "ICO");
    if (image.isNull())
        return {};
    // The image is wanted at the entry's size, whatever its own header claims.
    if (image.width() != e.width || image.height() != e.height)
        image = image.scaled(e.width, e.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QPixmap LoadIconPicture(const QVariant &resourceId, const QVariant &resourceType, qint16 size, qint16 bitsPerPixel)
{
    // Resource names, like the platform's, ignore case; a name that could leave the
    // resource folder is no name at all.
    const QString id = resourceId.toString().toUpper();
    const QString type = resourceType.toString().toUpper();
    if (id.isEmpty() || type.isEmpty() || id.contains(QLatin1Char('/')) || type.contains(QLatin1Char('/')))
        return {};

    QFile resource(QStringLiteral(":/%1/%2").arg(type, id));
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = resource.readAll();

    const QImage image = IconImageFromData(bytes, size, bitsPerPixel);
    if (image.isNull())
        return {};
    return CreatePictureFromHandle(image, PICTYPE_ICON, {}, 0, 0, false);
}

QPixmap CreatePictureFromHandle(const QImage &handle, qint16 pictureType, const QList<QRgb> &palette, qint32 xExtent,
                                qint32 yExtent, bool keepHandle)
{
    Q_UNUSED(keepHandle);
    QImage picture = handle;
    switch (pictureType) {
    case PICTYPE_BITMAP:
        if (!palette.isEmpty() && picture.format() == QImage::Format_Indexed8)
            picture.setColorTable(palette);
        break;
    case PICTYPE_METAFILE:
        // Extents are in 0.01 mm: 2540 of them to the inch, 96 pixels to the inch.
        if (xExtent > 0 && yExtent > 0 && !picture.isNull()) {
            const int w = int(qMax<qint64>(1, (qint64(xExtent) * 96 + 1270) / 2540));
            const int h = int(qMax<qint64>(1, (qint64(yExtent) * 96 + 1270) / 2540));
            picture = picture.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        break;
    case PICTYPE_ICON:
    case PICTYPE_ENHMETAFILE:
        break;
    default:
        ReportCritical(QStringLiteral("Picture type not supported."));
        return {};
    }

    GUID iid{};
    if (!GuidFromString(QString::fromLatin1(kPictureInterface), &iid)) {
        ReportCritical(QStringLiteral("Failed to get GUID."));
        return {};
    }

    // Pixmaps exist only beside a GUI application; without one there is no picture.
    if (picture.isNull() || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return {};
    return QPixmap::fromImage(picture);
}

} // namespace modSWGraphics
