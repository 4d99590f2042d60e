// Pictures for the host: one image picked by size and colour depth out of a multi-image
// icon file in our resources, and the wrapping of an image into a picture object.
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QVariant>
#include <QtGlobal>

namespace modSWGraphics {

// Picture types of the picture descriptor.
constexpr qint16 PICTYPE_BITMAP = 1;
constexpr qint16 PICTYPE_METAFILE = 2;
constexpr qint16 PICTYPE_ICON = 3;
constexpr qint16 PICTYPE_ENHMETAFILE = 4;

// One directory entry of an icon file, as found in the file (width/height 256 already
// expanded from their 0 byte).
struct IconDirEntry {
    int index = -1; // position in the directory
    int width = 0;
    int height = 0;
    int colourCount = 0;
    int planes = 0;
    int bitsPerPixel = 0;
    quint32 bytes = 0;
    quint32 offset = 0;
};

// Reads the header and directory of an icon file held in `data`. False (and no entries) for
// anything that is not a well-formed icon file: short header, type other than 1 (icon),
// a directory that does not fit, or any entry whose image is empty or lies outside the data.
bool ReadIconDirectory(QByteArrayView data, QList<IconDirEntry> *entries);

// The first entry of `data` whose width is `size` and whose bit count is `bitsPerPixel`;
// false when the file is malformed or no entry matches.
bool FindIconEntry(QByteArrayView data, qint16 size, qint16 bitsPerPixel, IconDirEntry *entry);

// Decodes the chosen entry's image (DIB or PNG payload) at the entry's own size; a null
// image when there is nothing to decode. Never reads outside `data`.
QImage IconImageFromData(QByteArrayView data, qint16 size, qint16 bitsPerPixel);

// The image of the given size and colour depth from the icon resource `:/<type>/<id>`
// (e.g. 500, "NAVGRAPHIC"), as a picture; a null pixmap when the resource is missing or
// malformed or holds no such image. Needs a QGuiApplication (pixmaps do).
QPixmap LoadIconPicture(const QVariant &resourceId, const QVariant &resourceType, qint16 size, qint16 bitsPerPixel);

// Wraps an image in a picture object of the given type (1 bitmap, 2 metafile, 3 icon,
// 4 enhanced metafile). `palette` replaces the colour table of an indexed bitmap; a
// metafile's extents (0.01 mm) give its size at 96 dpi when both are positive. Images are
// values here, so the picture never takes anything from the caller: `keepHandle` only
// records the caller's intent. Any other type reports "Picture type not supported." and
// gives a null pixmap.
QPixmap CreatePictureFromHandle(const QImage &handle, qint16 pictureType, const QList<QRgb> &palette = {},
                                qint32 xExtent = 0, qint32 yExtent = 0, bool keepHandle = false);

} // namespace modSWGraphics
