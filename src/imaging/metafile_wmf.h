#pragma once
// The WMF player: each record of a (placeable or plain) Windows metafile
// applied to the device context and drawn on the canvas. Records it does not
// draw are skipped by their declared size; a record whose counts or offsets
// reach beyond its own size is skipped and counted as malformed.

#include "imaging/metafile_canvas.h"
#include "imaging/metafile_dc.h"
#include "imaging/metafile_records.h"

namespace tomeric {

TMetaPlayStats PlayWmf(const TMetafile& metafile, TMetaDc& dc, TMetaCanvas& canvas);

} // namespace tomeric
