#include "windows/popup_menu.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace tomeric {

namespace {

constexpr int kAcceleratorShowMs = 150;
constexpr int kTextFlags = Qt::AlignVCenter | Qt::AlignLeft | Qt::TextShowMnemonic | Qt::TextSingleLine;

int WidestText(const QFont& font, const std::vector<TPopUpMenuItem>& items)
{
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const TPopUpMenuItem& item : items)
        if (!item.separator)
            widest = std::max(widest, metrics.boundingRect(QRect(0, 0, 1 << 20, 100), kTextFlags, item.text).width());
    return widest;
}

} // namespace

// ---- the list -----------------------------------------------------------------------

TPopUpMenuBox::TPopUpMenuBox(TPopUpMenuForm& form, std::vector<TPopUpMenuItem> items)
    : QAbstractScrollArea(&form), form_(form), items_(std::move(items))
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    verticalScrollBar()->setSingleStep(kMenuItemHeight);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(), qOverload<>(&QWidget::update));
}

int TPopUpMenuBox::ItemTop(int index) const
{
    int top = 0;
    for (int i = 0; i < index; ++i)
        top += items_[static_cast<size_t>(i)].Height();
    return top;
}

int TPopUpMenuBox::ItemAt(int y) const
{
    int top = -verticalScrollBar()->value();
    for (size_t i = 0; i < items_.size(); ++i) {
        const int bottom = top + items_[i].Height();
        if (y >= top && y < bottom)
            return static_cast<int>(i);
        top = bottom;
    }
    return -1;
}

void TPopUpMenuBox::UpdateScrollRange()
{
    const int total = ItemTop(static_cast<int>(items_.size()));
    verticalScrollBar()->setRange(0, std::max(0, total - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
}

void TPopUpMenuBox::Select(int index)
{
    if (index == selected_)
        return;
    selected_ = index;
    if (index >= 0) {
        const int top = ItemTop(index);
        const int bottom = top + items_[static_cast<size_t>(index)].Height();
        QScrollBar& bar = *verticalScrollBar();
        if (top < bar.value())
            bar.setValue(top);
        else if (bottom > bar.value() + viewport()->height())
            bar.setValue(bottom - viewport()->height());
    }
    viewport()->update();
}

void TPopUpMenuBox::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setFont(font());
    int top = -verticalScrollBar()->value();
    for (size_t i = 0; i < items_.size(); ++i) {
        const QRect row(0, top, viewport()->width(), items_[i].Height());
        if (row.bottom() >= 0 && row.top() < viewport()->height())
            PaintItem(painter, static_cast<int>(i), row);
        top += row.height();
    }
}

void TPopUpMenuBox::PaintItem(QPainter& painter, int index, const QRect& row)
{
    const TPopUpMenuItem& item = items_[static_cast<size_t>(index)];
    const QPalette& colours = palette();
    if (item.separator) {
        // An etched rule: shadow above, highlight on the middle line.
        painter.fillRect(row, colours.color(QPalette::Window));
        const int middle = row.top() + row.height() / 2;
        painter.setPen(colours.color(QPalette::Dark));
        painter.drawLine(row.left(), middle - 1, row.right(), middle - 1);
        painter.setPen(colours.color(QPalette::Light));
        painter.drawLine(row.left(), middle, row.right(), middle);
        return;
    }
    const bool selected = index == selected_;
    painter.fillRect(row, colours.color(selected ? QPalette::Highlight : QPalette::Window));
    painter.setPen(colours.color(selected ? QPalette::HighlightedText : QPalette::WindowText));
    painter.drawText(row.adjusted(kMenuMargin, 0, -kMenuMargin, 0), kTextFlags, item.text);
}

bool TPopUpMenuBox::viewportEvent(QEvent* event)
{
    // The pointer left the list: nothing is selected.
    if (event->type() == QEvent::Leave)
        Select(-1);
    return QAbstractScrollArea::viewportEvent(event);
}

void TPopUpMenuBox::mouseMoveEvent(QMouseEvent* event)
{
    const int index = ItemAt(event->position().toPoint().y());
    Select(index >= 0 && !items_[static_cast<size_t>(index)].separator ? index : -1);
}

void TPopUpMenuBox::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void TPopUpMenuBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // The item under the pointer, as the last movement selected it.
    mouseMoveEvent(event);
    form_.Choose(selected_);
}

// ---- the form -----------------------------------------------------------------------

TPopUpMenuForm::TPopUpMenuForm(const TPopUpEnvironment& environment, const QFont& dialogFont, const QString& items)
    : TPopUpPalette(TPopUpKind::pkMenu, environment)
{
    setFont(dialogFont);
    box_ = new TPopUpMenuBox(*this, ParseMenuItems(items));
    box_->setFont(dialogFont);
}

QPoint TPopUpMenuForm::Prepare(int x, int y, const QRect& centring, const QRect& workArea)
{
    const int scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const TMenuSize size = MenuSize(box_->Items(), WidestText(font(), box_->Items()), workArea.height(), scrollBarWidth);
    resize(size.size);
    box_->setVerticalScrollBarPolicy(size.scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    box_->setGeometry(rect().adjusted(1, 1, -1, -1));
    box_->UpdateScrollRange();
    return PlaceMenu(size.size, x, y, centring).topLeft();
}

void TPopUpMenuForm::Choose(int index)
{
    box_->Select(index);
    EndPopUp(TPopUpResult::prOk);
}

void TPopUpMenuForm::ChooseByAccelerator(int index)
{
    choosing_ = true;
    box_->Select(index);
    box_->viewport()->repaint();
    QTimer::singleShot(kAcceleratorShowMs, this, [this, index] { Choose(index); });
}

void TPopUpMenuForm::keyPressEvent(QKeyEvent* event)
{
    if (choosing_)
        return;
    const std::vector<TPopUpMenuItem>& items = box_->Items();
    switch (event->key()) {
    case Qt::Key_Up: box_->Select(MenuStep(items, box_->Selected(), -1)); return;
    case Qt::Key_Down: box_->Select(MenuStep(items, box_->Selected(), +1)); return;
    case Qt::Key_Home: box_->Select(MenuFirst(items)); return;
    case Qt::Key_End: box_->Select(MenuLast(items)); return;
    case Qt::Key_Escape: EndPopUp(TPopUpResult::prCancel); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (box_->Selected() >= 0)
            Choose(box_->Selected());
        return;
    default: break;
    }
    const QString text = event->text();
    const int index = text.size() == 1 ? MenuItemForKey(items, text[0]) : -1;
    if (index >= 0)
        ChooseByAccelerator(index);
    else
        QApplication::beep();
}

void TPopUpMenuForm::paintEvent(QPaintEvent*)
{
    // The panel: a one-pixel border in the button-shadow colour.
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace tomeric
