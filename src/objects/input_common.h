#pragma once
// What the input objects (edit field, list box, combo box, track bar) share:
// the variable they are bound to, their tab-stop rule, the look they give
// their inner control, and reading item numbers and item lines.

#include "objects/tomeric_obj.h"

#include <QStringList>

#include <optional>

namespace tomeric {

// The bracketed upper-case key of a bound variable as the variable store
// announces it ("[Item[i]]" with [i] = 3 gives "[ITEM3]"); empty when there
// is no variable. Evaluated each time: inner references may change.
QString BoundVariableUpper(const QString& varName);

// True when the object's rectangle, carried up through its groups and
// containers, meets the page it lies on (its first ancestor that is not a
// page object) and neither it nor a group or container on the way is hidden.
bool IsOnScreen(const QWidget& object);

// Inputs are tab stops exactly while on screen; a click still focuses them.
void UpdateTabStop(QWidget& inner, const QWidget& object);

// The inner control takes the frame's fill colour as its background, the
// text colour and the font of the object, and has no frame of its own.
void ApplyInputLook(QWidget& inner, const TTomericObj& object);

// An item number as commands give it: a whole number in 1..count, else
// nothing.
std::optional<int> ItemNumber(const QString& text, int count);

// The lines of a TEXT= value or a variable value (CR LF, LF or CR).
QStringList SplitLines(const QString& text);

// Writes a bound variable while `guard` is set, so the announcement of
// the change that comes back to the writer can be recognised as its echo.
void WriteBoundVariable(const QString& varName, const QString& value, bool& guard);

// Ties go to the even neighbour, as the arithmetic of the original
// Windows player rounds.
int RoundHalfEven(double value);

} // namespace tomeric
