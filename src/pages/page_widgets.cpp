#include "pages/page_widgets.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

namespace tomeric {

TTomericBackground::TTomericBackground(QWidget* parent, TWallpaperSource wallpapers)
    : QWidget(parent), wallpapers_(std::move(wallpapers))
{
    // The background paints every pixel itself: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void TTomericBackground::SetLook(const TBackgroundLook& look)
{
    if (look == look_)
        return;
    look_ = look;
    update();
}

void TTomericBackground::SetPublicationArea(const QRect& area)
{
    if (area == publicationArea_)
        return;
    // The page's objects were placed from the area's origin: they follow it.
    const QPoint shift = area.topLeft() - publicationArea_.topLeft();
    publicationArea_ = area;
    if (!shift.isNull())
        for (QObject* child : children())
            if (auto* widget = qobject_cast<QWidget*>(child); widget && !qobject_cast<TTomericBackground*>(widget))
                widget->move(widget->pos() + shift);
    update();
}

void TTomericBackground::PaintInto(QPainter& painter, const QRect& area) const
{
    PaintBackground(painter, area, look_, wallpapers_);
}

void TTomericBackground::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    PaintInto(painter, rect());
}

void TTomericBackground::mousePressEvent(QMouseEvent* event)
{
    emit BackgroundMousePressed(event->globalPosition().toPoint());
    QWidget::mousePressEvent(event);
}

void TTomericBackground::mouseMoveEvent(QMouseEvent* event)
{
    emit BackgroundMouseMoved(event->globalPosition().toPoint());
    QWidget::mouseMoveEvent(event);
}

void TTomericBackground::mouseReleaseEvent(QMouseEvent* event)
{
    emit BackgroundMouseReleased(event->globalPosition().toPoint());
    QWidget::mouseReleaseEvent(event);
}

TQXPageWidget::TQXPageWidget(QWidget* container, const QString& name, const TBackgroundLook& look,
                 TWallpaperSource wallpapers)
    : QWidget(container), name_(name),
      background_(new TTomericBackground(this, std::move(wallpapers)))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(name);
    background_->SetLook(look);
    resize(container->size());
    background_->setGeometry(rect());
    hide();
}

void TQXPageWidget::resizeEvent(QResizeEvent* event)
{
    background_->setGeometry(QRect(QPoint(0, 0), event->size()));
    QWidget::resizeEvent(event);
}

} // namespace tomeric
