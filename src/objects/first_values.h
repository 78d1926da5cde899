#pragma once
// The variable writes a page object makes when it takes its first state
// (OM_INIT), known from its record alone. A page whose objects all have
// such writes, and whose objects write nothing when told of a variable
// change, need not have its widgets until it is first shown or reached:
// the player makes the writes from the records at start-up, in the order
// OM_INIT would, and the objects created later take their first state
// without writing (TTomericObj::OnLateInit).

#include "publication/object_model.h"

#include <QString>

#include <optional>

#include <vector>

namespace tomeric {

// One variable write of OM_INIT; none when `varName` is empty.
struct TFirstWrite {
    QString varName;
    QString value;
};

// Whether the object of `record` (and every member it holds) is one whose
// OM_INIT writes are known from the record.
bool FirstValuesKnown(const TObjectRecord& record);
bool FirstValuesKnown(const std::vector<TObjectRecord>& records);

// Makes the writes OM_INIT of the objects of `records` would make, in
// their order. Only for records FirstValuesKnown accepts.
void WriteFirstValues(const std::vector<TObjectRecord>& records);

} // namespace tomeric
