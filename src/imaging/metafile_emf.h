#pragma once
// The EMF player: each record of an enhanced metafile applied to the device
// context and drawn on the canvas. EMF+ files play through their EMF
// fallback records (the EMF+ records ride in comments, which are skipped).
// Records it does not draw are skipped by their declared size; a record
// whose counts or offsets reach beyond its own size is skipped and counted
// as malformed.

#include "imaging/metafile_canvas.h"
#include "imaging/metafile_dc.h"
#include "imaging/metafile_records.h"

namespace tomeric {

TMetaPlayStats PlayEmf(const TMetafile& metafile, TMetaDc& dc, TMetaCanvas& canvas);

} // namespace tomeric
