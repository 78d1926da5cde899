#include "imaging/tomeric_color.h"

#include <QGuiApplication>
#include <QPalette>

namespace tomeric {

namespace {

constexpr std::uint32_t kSystemColourMark = 0xFF000000u;

// The Windows system colour indexes publications use, mapped to the
// nearest role of the application palette.
QColor SystemColor(int index)
{
    const QPalette palette = QGuiApplication::instance() ? QGuiApplication::palette() : QPalette();
    switch (index) {
    case 0: return palette.color(QPalette::Mid);             // scroll bar
    case 1: return palette.color(QPalette::Window);          // desktop
    case 2: case 27: return palette.color(QPalette::Highlight); // active caption (and its gradient)
    case 3: case 28: return palette.color(QPalette::Mid);    // inactive caption (and its gradient)
    case 4: case 30: return palette.color(QPalette::Window); // menu, menu bar
    case 5: return palette.color(QPalette::Base);            // window
    case 6: return palette.color(QPalette::Shadow);          // window frame
    case 7: return palette.color(QPalette::WindowText);      // menu text
    case 8: return palette.color(QPalette::Text);            // window text
    case 9: return palette.color(QPalette::HighlightedText); // caption text
    case 10: case 11: return palette.color(QPalette::Button); // active and inactive borders
    case 12: return palette.color(QPalette::Dark);           // application workspace
    case 13: case 29: return palette.color(QPalette::Highlight); // selection, menu highlight
    case 14: return palette.color(QPalette::HighlightedText);
    case 15: return palette.color(QPalette::Button);         // button face
    case 16: return palette.color(QPalette::Dark);           // button shadow
    case 17: return palette.color(QPalette::PlaceholderText); // grey text
    case 18: return palette.color(QPalette::ButtonText);
    case 19: return palette.color(QPalette::PlaceholderText); // inactive caption text
    case 20: return palette.color(QPalette::Light);          // button highlight
    case 21: return palette.color(QPalette::Shadow);         // 3-D dark shadow
    case 22: return palette.color(QPalette::Midlight);       // 3-D light
    case 23: return palette.color(QPalette::ToolTipText);
    case 24: return palette.color(QPalette::ToolTipBase);
    case 26: return palette.color(QPalette::Link);           // hot-tracked item
    default: return palette.color(QPalette::Window);
    }
}

} // namespace

QColor TomericColor(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    if ((bits & 0xFF000000u) == kSystemColourMark)
        return SystemColor(static_cast<int>(bits & 0xFF));
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

QColor OpaqueColor(std::int32_t value)
{
    QColor c = TomericColor(value);
    c.setAlpha(255);
    return c;
}

} // namespace tomeric
