#pragma once
// Page objects made from the publication's records. One table maps each
// type code to the function that creates its class; codes 0, 1 and any code
// not in the table create nothing. Families whose objects are not built yet
// are created as inert TTomericObj placeholders with their geometry, so the
// page keeps its layout and the object commands still find them by name.

#include "objects/tomeric_obj.h"

#include <QPoint>

#include <vector>

namespace tomeric {

// Creates one object of a family: `record` holds its properties, already
// placed (x, y relative to `parent`).
using TObjectCreator = TTomericObj* (*)(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

// The creator of a type code; null for codes that create nothing.
TObjectCreator ObjectCreator(int objType);

// Creates the object of `record` under `parent` and, for groups and
// containers, their members inside it. `origin` is added to the record's
// position (the publication area's origin at page level, nothing inside a
// group or container). Null when the type creates nothing.
TTomericObj* CreateObject(QWidget* parent, const TObjectRecord& record, ObjectHost& host,
                          QPoint origin = {});

// Creates a page's objects in creation order; the ones made (top level only).
std::vector<TTomericObj*> CreatePageObjects(QWidget* background,
                                            const std::vector<TObjectRecord>& records,
                                            ObjectHost& host, QPoint origin);

// The family creators, each defined with its family.
TTomericObj* CreatePlaceholder(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
