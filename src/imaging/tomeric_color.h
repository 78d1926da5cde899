#pragma once
// Colours as publications store them: a 32-bit value, 0x00BBGGRR for an RGB
// colour and 0xFF0000nn for the Windows system colour nn (mapped to the
// nearest role of the application palette).

#include <QColor>

#include <cstdint>

namespace tomeric {

QColor TomericColor(std::int32_t value);
// The same colour without transparency (text, lines and fills drawn solid).
QColor OpaqueColor(std::int32_t value);

} // namespace tomeric
