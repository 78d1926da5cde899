#include "objects/text_object.h"

#include "objects/rich_text_view.h"
#include "objects/text_content.h"
#include "pages/background_painter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextOption>

namespace tomeric {

TTomericText::TTomericText(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTextObjectBase(parent, record, host), document_(std::make_unique<QTextDocument>()),
      linkColor_(host.LinkColor())
{
    if (const auto* props = record.As<TTextProps>()) {
        horzMargin_ = std::max(props->hMargin, 0);
        vertMargin_ = std::max(props->vMargin, 0);
        wordWrap_ = props->wordWrap;
    }
    setMouseTracking(true);
    Rerender();
}

TTomericText::~TTomericText() = default;

void TTomericText::SetWordWrap(bool value)
{
    if (wordWrap_ == value)
        return;
    wordWrap_ = value;
    Relayout();
}

void TTomericText::SetMargins(int horizontal, int vertical)
{
    horizontal = std::max(horizontal, 0);
    vertical = std::max(vertical, 0);
    if (horizontal == horzMargin_ && vertical == vertMargin_)
        return;
    horzMargin_ = horizontal;
    vertMargin_ = vertical;
    Relayout();
}

QRect TTomericText::TextRect() const
{
    const int dx = std::max(LineWidth(), 0) + horzMargin_;
    const int dy = std::max(LineWidth(), 0) + vertMargin_;
    return rect().adjusted(dx, dy, -dx, -dy);
}

void TTomericText::Rerender()
{
    TTextLook look;
    look.font = font();
    look.fontPoints = FontProps().fontSize;
    look.textColour = OpaqueColor(FontProps().textColor);
    look.linkColour = OpaqueColor(linkColor_);
    look.wordWrap = wordWrap_;
    LoadCaption(*document_, Txt(), look);
    if (fontOverride_)
        ApplyFontToAll(*document_, font(), styleOverride_);
    hasFields_ = MakeVariableFields(*document_) > 0;
    Relayout();
}

void TTomericText::Relayout()
{
    QTextOption option = document_->defaultTextOption();
    option.setWrapMode(wordWrap_ ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    document_->setDefaultTextOption(option);
    document_->setTextWidth(std::max(TextRect().width(), 1));
    update();
}

void TTomericText::resizeEvent(QResizeEvent* event)
{
    TTextObjectBase::resizeEvent(event);
    Relayout();
}

void TTomericText::PaintContent(QPainter& painter)
{
    PaintShape(painter);
    const QRect area = TextRect();
    if (area.isEmpty())
        return;
    DrawDocument(painter, *document_, area.topLeft(), area, OpaqueColor(FontProps().textColor));
}

std::optional<QString> TTomericText::FamilyInfo(const QString& upperInfo) const
{
    if (upperInfo == QLatin1String("CAPTION"))
        return Txt();
    if (upperInfo == QLatin1String("SELECTEDTEXT"))
        return SelectedText();
    return std::nullopt;
}

bool TTomericText::SetObjectCaption(const QString& text)
{
    if (text == Txt())
        Rerender();
    else
        SetTxt(text); // re-renders through TextChanged
    return true;
}

void TTomericText::SetObjectFont(const TFontChange& change)
{
    if (change.name || change.size || change.style || change.charset)
        fontOverride_ = true;
    if (change.style)
        styleOverride_ = true;
    TTextObjectBase::SetObjectFont(change);
}

void TTomericText::OnInit()
{
    RefreshFields(*document_);
    update();
}

bool TTomericText::HearsVariable(const QString& upperName) const
{
    return hasFields_ && FieldsShowVariable(*document_, upperName);
}

void TTomericText::OnVarChanged(const QString& upperName, const QString& value)
{
    (void)value;
    // Most texts show no variable: every write in the publication passes
    // them by without looking through their text.
    if (!hasFields_)
        return;
    // A transparent text repaints fully: the page shows through the old letters.
    if (RefreshFields(*document_, upperName) > 0)
        update();
}

std::optional<QTextCursor> TTomericText::FindText(const QString& text, int from,
                                                  bool includeLinkCommands) const
{
    return FindInDocument(*document_, text, from, includeLinkCommands);
}

std::optional<TFindMatch> TTomericText::FindText(const QString& text, int from) const
{
    return FindWildcardMatch(*document_, text, from);
}

QStringList TTomericText::LinkActions() const { return LinkCommands(*document_); }

// ---- hot text --------------------------------------------------------------------

std::optional<int> TTomericText::LinkPositionAt(QPoint point) const
{
    const QRect area = TextRect();
    if (!area.contains(point))
        return std::nullopt;
    const std::optional<int> position = DocumentPositionAt(*document_, QPointF(point - area.topLeft()));
    if (position && IsLinkCharacter(*document_, *position))
        return position;
    return std::nullopt;
}

void TTomericText::mousePressEvent(QMouseEvent* event)
{
    pressedLink_.reset();
    if (event->button() == Qt::LeftButton && EnabledState()) {
        pressedLink_ = LinkPositionAt(event->position().toPoint());
        if (pressedLink_) {
            event->accept();
            return;
        }
    }
    // Not on a link: the press belongs to the object (a drag, a click).
    TTextObjectBase::mousePressEvent(event);
}

void TTomericText::mouseMoveEvent(QMouseEvent* event)
{
    const bool overLink = LinkPositionAt(event->position().toPoint()).has_value();
    if (overLink != overLink_) {
        overLink_ = overLink;
        if (overLink)
            setCursor(Host().Cursor(csHotSpot));
        else
            setCursor(Host().Cursor(CursorSlot()));
    }
    if (!pressedLink_)
        TTextObjectBase::mouseMoveEvent(event);
}

void TTomericText::mouseReleaseEvent(QMouseEvent* event)
{
    const std::optional<int> pressed = pressedLink_;
    pressedLink_.reset();
    if (pressed) {
        if (event->button() == Qt::LeftButton && LinkPositionAt(event->position().toPoint()))
            FollowLink(*this, *document_, *pressed, {}); // a text object has nowhere to scroll
        event->accept();
        return;
    }
    TTextObjectBase::mouseReleaseEvent(event);
}

TTomericObj* CreateText(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericText(parent, record, host);
}

} // namespace tomeric
