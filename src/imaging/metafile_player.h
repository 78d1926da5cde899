#pragma once
// Windows metafiles drawn as vectors: placeable WMF, plain WMF and EMF (EMF+
// through its EMF fallback records) replayed record by record onto any
// QPainter, at any size: on an image for the picture cache and rich text,
// straight onto a printer's painter for printing.
//
//   auto metafile = LoadMetafile(bytes);          // nothing: "cannot be loaded"
//   if (metafile) PlayMetafile(*metafile, painter, QRectF(0, 0, 300, 200));
//
// Hostile input is refused or contained: the structure is checked before a
// record plays (metafile_records.h), every field is read within its record,
// object tables and saved states are bounded, and drawing stops when its
// budget is spent.

#include "imaging/metafile_dc.h"
#include "imaging/metafile_records.h"
#include "imaging/picture.h"

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSize>

namespace tomeric {

// Plays the records with the metafile's frame mapped onto `target` (painter
// coordinates). The painter's state is as it was afterwards; drawing stays
// inside `target` and the painter's own clip.
TMetaPlayStats PlayMetafile(const TMetafile& metafile, QPainter& painter, const QRectF& target);

// The metafile drawn at `size` on a transparent image (premultiplied ARGB);
// a null image for an empty size or one beyond kMaxPicturePixels.
QImage RenderMetafile(const TMetafile& metafile, QSize size, TMetaPlayStats* stats = nullptr);

// The size a metafile is shown at (its frame at 96 dots per inch).
QSize MetafileSize(const TMetafile& metafile);

// A metafile file as a picture, drawn at its own size. The picture keeps the
// metafile, so it can be drawn again at another size or onto a printer.
TPictureDecode DecodeMetafile(const QByteArray& bytes);

} // namespace tomeric
