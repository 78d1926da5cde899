#pragma once
// qxplay5 started without a container (from the desktop's menu): a file
// chooser asks for one, opening in the folder the last choice came from.

#include <QString>

namespace tomeric {

// The container the user chose; empty when the chooser was cancelled.
QString ChooseContainer();

// A sentence for people who do not read the original's French message: what
// went wrong with `container` (empty: none was given or found).
QString ExplainUnopenedContainer(const QString& container);

} // namespace tomeric
