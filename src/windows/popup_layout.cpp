#include "windows/popup_layout.h"

#include <algorithm>

namespace tomeric {

QPoint FitIntoWorkArea(const QRect& window, const QRect& workArea)
{
    // The right edge of a QRect is one short of left + width.
    const int workRight = workArea.left() + workArea.width();
    const int workBottom = workArea.top() + workArea.height();
    int left = std::max(window.left(), workArea.left());
    int top = std::max(window.top(), workArea.top());
    if (left + window.width() > workRight)
        left = std::max(workArea.left(), workRight - window.width());
    if (top + window.height() > workBottom)
        top = std::max(workArea.top(), workBottom - window.height());
    return {left, top};
}

// ---- balloon ------------------------------------------------------------------------

QSize BalloonClientSize(const QSize& textSize, const TBalloonMetrics& metrics)
{
    return {std::max(25, textSize.width() + 2 * metrics.xOffset),
            textSize.height() + 2 * metrics.yOffset + metrics.stemSize};
}

TBalloonPlacement PlaceBalloon(const QSize& clientSize, const QPoint& target, const QRect& screen,
                               const TBalloonMetrics& metrics)
{
    (void)metrics;
    TBalloonPlacement placement;
    const int width = clientSize.width();
    const int height = clientSize.height();
    const int screenBottom = screen.top() + screen.height();
    const int screenRight = screen.left() + screen.width();

    // Above the point, stem down; below it, stem up, when above would leave
    // the screen.
    int top = target.y() - height;
    if (top < screen.top()) {
        placement.stemPos = spTop;
        top = target.y();
    } else if (top + height > screenBottom) {
        top = screenBottom - height;
    }
    int left = target.x() - width / 2;
    left = std::clamp(left, screen.left(), std::max(screen.left(), screenRight - width));
    placement.stemOffset = target.x() - left - width / 2;
    placement.window = QRect(left, top, width, height);
    return placement;
}

TBalloonShape BalloonShape(const QSize& client, TStemPos stemPos, int stemOffset, const TBalloonMetrics& metrics)
{
    TBalloonShape shape;
    QRect body(QPoint(0, 0), client);
    const int stem = metrics.stemSize;
    switch (stemPos) {
    case spBottom: body.setBottom(body.bottom() - stem); break;
    case spTop: body.setTop(body.top() + stem); break;
    case spLeft: body.setLeft(body.left() + stem); break;
    case spRight: body.setRight(body.right() - stem); break;
    }
    shape.body = body;
    // The base is 2w wide, w the stem width made odd; it stays on the
    // straight part of the edge even when the tip lies near a corner (a
    // balloon pushed against the screen's edge), so the stem never sits on
    // the rounded corner.
    const int w = metrics.stemWidth | 1;
    const bool horizontal = stemPos == spTop || stemPos == spBottom;
    const int centre = horizontal ? body.left() + body.width() / 2 : body.top() + body.height() / 2;
    const int low = (horizontal ? body.left() : body.top()) + metrics.cornerSize / 2 + w;
    const int high = (horizontal ? body.left() + body.width() : body.top() + body.height()) -
                     metrics.cornerSize / 2 - w;
    const int tipAt = centre + stemOffset;
    const int baseAt = low <= high ? std::clamp(tipAt, low, high) : centre;
    // The base lies on the body's border line, which the seam then hides.
    switch (stemPos) {
    case spBottom:
        shape.tip = {tipAt, client.height() - 1};
        shape.baseStart = {baseAt - w, body.bottom()};
        shape.baseEnd = {baseAt + w, body.bottom()};
        break;
    case spTop:
        shape.tip = {tipAt, 0};
        shape.baseStart = {baseAt - w, body.top()};
        shape.baseEnd = {baseAt + w, body.top()};
        break;
    case spLeft:
        shape.tip = {0, tipAt};
        shape.baseStart = {body.left(), baseAt - w};
        shape.baseEnd = {body.left(), baseAt + w};
        break;
    case spRight:
        shape.tip = {client.width() - 1, tipAt};
        shape.baseStart = {body.right(), baseAt - w};
        shape.baseEnd = {body.right(), baseAt + w};
        break;
    }
    return shape;
}

// ---- sticky note --------------------------------------------------------------------

namespace {

int StickyNoteMaxWidth(int screenWidth, const TStickyNoteMetrics& metrics)
{
    return screenWidth - metrics.shadowSize - 10;
}

// Keeps [start, start + length) inside [low, low + room): a start past the
// far end moves back; a negative start becomes the near end.
int KeepInside(int start, int length, int low, int room)
{
    if (start + length > low + room)
        return low + room - length;
    return std::max(start, low);
}

} // namespace

int StickyNoteWrapWidth(int textWidth, int screenWidth, const TStickyNoteMetrics& metrics)
{
    const int maxWidth = StickyNoteMaxWidth(screenWidth, metrics);
    if (textWidth + 2 * metrics.xOffset <= maxWidth)
        return 0;
    // The text wraps to the width it is painted in, so that every line
    // measured is a line shown.
    return std::max(1, maxWidth - 2 * metrics.xOffset);
}

QSize StickyNoteClientSize(const QSize& textSize, int screenWidth, const TStickyNoteMetrics& metrics)
{
    const int width = std::min(textSize.width() + 2 * metrics.xOffset, StickyNoteMaxWidth(screenWidth, metrics));
    return {std::max(1, width), textSize.height() + 2 * metrics.yOffset + metrics.shadowSize};
}

QRect PlaceStickyNote(const QSize& clientSize, int x, int y, const QRect& pageArea, const QRect& screen)
{
    const int w = clientSize.width();
    const int h = clientSize.height();
    const int left = (x == -1 ? pageArea.width() / 2 - w / 2 : x) + pageArea.left();
    const int top = (y == -1 ? pageArea.height() / 2 - h / 2 : y) + pageArea.top();
    return {KeepInside(left, w, screen.left(), screen.width()), KeepInside(top, h, screen.top(), screen.height()),
            w, h};
}

// ---- picture pop-up -----------------------------------------------------------------

QRect PlacePicture(const QSize& pictureSize, int x, int y, const QRect& pageArea)
{
    const int left = x == -1 ? pageArea.width() / 2 - pictureSize.width() / 2 : x;
    const int top = y == -1 ? pageArea.height() / 2 - pictureSize.height() / 2 : y;
    return {QPoint(left, top) + pageArea.topLeft(), pictureSize};
}

// ---- pick list ----------------------------------------------------------------------

std::vector<TPopUpMenuItem> ParseMenuItems(const QString& items)
{
    std::vector<TPopUpMenuItem> parsed;
    for (const QString& part : items.split(u'|')) {
        TPopUpMenuItem item;
        item.text = part;
        item.separator = part == QLatin1String("-");
        parsed.push_back(item);
    }
    return parsed;
}

QChar MenuAccelerator(const QString& text)
{
    for (qsizetype i = text.indexOf(u'&'); i >= 0 && i + 1 < text.size(); i = text.indexOf(u'&', i + 2)) {
        const QChar next = text[i + 1];
        if (next != u' ' && next != u'&')
            return next.toUpper();
    }
    return {};
}

int MenuItemForKey(const std::vector<TPopUpMenuItem>& items, QChar key)
{
    if (key.isNull())
        return -1;
    const QChar wanted = key.toUpper();
    for (size_t i = 0; i < items.size(); ++i)
        if (!items[i].separator && MenuAccelerator(items[i].text) == wanted)
            return static_cast<int>(i);
    return -1;
}

TMenuSize MenuSize(const std::vector<TPopUpMenuItem>& items, int widestText, int workAreaHeight, int scrollBarWidth)
{
    TMenuSize result;
    int height = 2;
    for (const TPopUpMenuItem& item : items)
        height += item.Height();
    int width = widestText + 2 * kMenuMargin + 4;
    if (height > workAreaHeight) {
        height = workAreaHeight;
        width += scrollBarWidth;
        result.scrollBar = true;
    }
    result.size = QSize(width, height);
    return result;
}

QRect PlaceMenu(const QSize& size, int x, int y, const QRect& centring)
{
    const int left = x == -1 ? centring.width() / 2 - size.width() / 2 : x;
    const int top = y == -1 ? centring.height() / 2 - size.height() / 2 : y;
    return {QPoint(left, top) + centring.topLeft(), size};
}

int MenuStep(const std::vector<TPopUpMenuItem>& items, int from, int direction)
{
    const int count = static_cast<int>(items.size());
    if (count == 0 || direction == 0)
        return -1;
    int index = from;
    int turns = 0;
    do {
        index += direction;
        if (index < 0 || index >= count) {
            if (++turns > 2)
                return -1;
            index = index < 0 ? count - 1 : 0;
        }
    } while (items[index].separator);
    return index;
}

int MenuFirst(const std::vector<TPopUpMenuItem>& items)
{
    return MenuStep(items, -1, +1);
}

int MenuLast(const std::vector<TPopUpMenuItem>& items)
{
    return MenuStep(items, static_cast<int>(items.size()), -1);
}

} // namespace tomeric
