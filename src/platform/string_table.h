#pragma once
// The program's string table: every user-visible message by number, in the
// French of the original build. A "|" inside a message stands for a line
// break; dialogs turn it into one when they show the text.

#include <QString>

namespace tomeric {

// The message with this number; an empty text for a number the table lacks.
QString Message(int id);

// The message with its first "%s" replaced by the argument.
QString Message(int id, const QString& argument);

} // namespace tomeric
