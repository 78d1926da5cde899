#pragma once
// The Find window's view of the page objects that show more than a caption
// but do not implement TFindSearchable themselves: edit fields (their text,
// the match selected) and list and combo boxes (their items, from the item
// after the last match, the item selected).

#include "objects/find_searchable.h"

#include <memory>

namespace tomeric {

class TTomericObj;

struct TFindAdapter {
    std::shared_ptr<TFindSearchable> searchable; // null: no adapter for this object
    bool flash = false;                          // the match is shown by flashing
};

TFindAdapter MakeFindAdapter(TTomericObj& object);

} // namespace tomeric
