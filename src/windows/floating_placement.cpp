#include "windows/floating_placement.h"

#include <algorithm>

namespace tomeric {

namespace {

bool HasWord(const QString& options, const char* word)
{
    return options.contains(QLatin1String(word), Qt::CaseInsensitive);
}

// One coordinate moved by `offset` unless it asks for centring.
int Offset(int value, int offset)
{
    return value == -1 ? -1 : value + offset;
}

// Centred in [start, start + length) when asked, else as given.
int CentreIfAsked(int value, int extent, int start, int length)
{
    return value == -1 ? start + (length - extent) / 2 : value;
}

} // namespace

TCustomWindowOptions ParseCustomWindowOptions(const QString& options)
{
    TCustomWindowOptions parsed;
    if (HasWord(options, "FIXEDPOS")) {
        parsed.flags = foFixedPosition;
        parsed.frame = TFloatingFrame::ffNoBorder;
        return parsed;
    }
    if (HasWord(options, "NoBorder"))
        parsed.frame = TFloatingFrame::ffNoBorder;
    else if (HasWord(options, "ToolWindow"))
        parsed.frame = TFloatingFrame::ffToolWindow;
    else if (HasWord(options, "Sizeable"))
        parsed.frame = TFloatingFrame::ffSizeable;
    if (HasWord(options, "Exclusive"))
        parsed.flags |= foExclusive;
    if (HasWord(options, "NoCloseBtn"))
        parsed.flags |= foNoCloseButton;
    if (options.contains(QLatin1Char('@')))
        parsed.flags |= foProtected;
    return parsed;
}

int ParseTextWindowOptions(const QString& options)
{
    return HasWord(options, "WORDWRAP") ? foWordWrap : 0;
}

QPoint ScreenPosition(QPoint scriptPosition, const TMainWindowGeometry& main)
{
    return {Offset(scriptPosition.x(), main.pageAreaOnScreen.x()),
            Offset(scriptPosition.y(), main.pageAreaOnScreen.y())};
}

QPoint FixedPosition(QPoint scriptPosition, const TMainWindowGeometry& main)
{
    QPoint offset = -main.scroll;
    if (main.fullScreenLayout)
        offset += main.pageAreaInClient;
    return {Offset(scriptPosition.x(), offset.x()), Offset(scriptPosition.y(), offset.y())};
}

QPoint PlaceFixedWindow(QPoint position, QSize size, const TMainWindowGeometry& main)
{
    if (main.fullScreenLayout)
        return {CentreIfAsked(position.x(), size.width(), 0, main.clientSize.width()),
                CentreIfAsked(position.y(), size.height(), 0, main.clientSize.height())};
    return {CentreIfAsked(position.x(), size.width(), -main.scroll.x(), main.pageAreaSize.width()),
            CentreIfAsked(position.y(), size.height(), -main.scroll.y(), main.pageAreaSize.height())};
}

QRect PlaceTopLevelWindow(QRect window, const QRect& desktop, const QRect& workArea)
{
    const QSize size = window.size().boundedTo(desktop.size());
    // Centring uses the work area unless the window is wider (or taller)
    // than it; then the whole desktop.
    const QRect across = size.width() > workArea.width() ? desktop : workArea;
    const QRect down = size.height() > workArea.height() ? desktop : workArea;
    int x = CentreIfAsked(window.x(), size.width(), across.x(), across.width());
    int y = CentreIfAsked(window.y(), size.height(), down.y(), down.height());
    x = std::min(x, desktop.right() + 1 - size.width());
    y = std::min(y, desktop.bottom() + 1 - size.height());
    return {QPoint(x, y), size};
}

std::optional<QSize> TrackingSize(int width, int height, QSize frame)
{
    if (width + height <= 0)
        return std::nullopt;
    const QSize converted(width + frame.width(), height + frame.height());
    if (converted.width() <= 0 || converted.height() <= 0)
        return std::nullopt;
    return converted;
}

int SizeVariableValue(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

QSize TextWindowClientSize(QSize text, int width, int height, int scrollArrow)
{
    return {width <= 0 ? text.width() + scrollArrow + 8 : -1, height <= 0 ? text.height() : -1};
}

} // namespace tomeric
