#pragma once
// Walking the objects of a page: every TTomericObj under a widget in
// creation order, descending into groups and containers; the lookup by name
// the object commands and hot keys use; and delivering an object message to
// every object of a page.

#include "objects/tomeric_obj.h"

#include <functional>

namespace tomeric {

// A page's objects are those under its background; the master page's
// background, placed inside the page that shows it, is not looked into (its
// objects are reached from the master background itself).

// Visits every object under `root` (children before their own members, in
// creation order). `visit` returns false to stop the walk.
void ForEachObject(QWidget* root, const std::function<bool(TTomericObj&)>& visit);

// The first object under `root` whose name equals `name` ignoring case;
// null when there is none.
TTomericObj* FindObjectByName(QWidget* root, const QString& name);

// Calls `deliver` on each top-level object under `root`; groups and
// containers pass the message on to their members themselves.
void SendToObjects(QWidget* root, const std::function<void(TTomericObj&)>& deliver);

} // namespace tomeric
