#pragma once
// Records that set object properties: the keys every object takes and the
// keys of each class. Which class takes which key is data: one binding table
// per class (object_properties.cpp); a key its class does not take is
// skipped.

#include "publication/object_model.h"
#include "publication/record_reader.h"

namespace tomeric {

// X=, Y=, W=, H=, NAME=, line and fill, visibility ... Returns false when
// the record is not one of them. Both take a text value out of the record.
bool ApplyCommonObjectRecord(TObjectRecord& object, TRecord& record);

// A class-specific record; false when the object's class does not take it.
// Y2= places a line (its window is the bounding box of its end points grown
// by its line width), so X1=, Y1=, X2= and LINEWIDTH= come first.
bool ApplyClassObjectRecord(TObjectRecord& object, TRecord& record);

// True when the class of that type code takes the tag (for tools and tests).
bool ClassTakesKey(int objType, int tag);

} // namespace tomeric
