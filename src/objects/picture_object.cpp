#include "objects/picture_object.h"

#include "objects/shapes.h"
#include "vars/variables.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <cmath>

namespace tomeric {
namespace {

constexpr int kMinimumZoom = 10;

int ValidZoom(int percent)
{
    const int absolute = percent == INT_MIN ? INT_MAX : std::abs(percent);
    return std::max(absolute, kMinimumZoom);
}

QSize Zoomed(QSize image, int zoom)
{
    const auto scale = [zoom](int length) {
        return int(std::clamp<qint64>(qint64(length) * zoom / 100, 1, INT_MAX / 4));
    };
    return QSize(scale(image.width()), scale(image.height()));
}

QRect CentredIn(const QRect& area, QSize size)
{
    return QRect(area.left() + (area.width() - size.width()) / 2,
                 area.top() + (area.height() - size.height()) / 2, size.width(), size.height());
}

// The largest size with the image's proportions that fits `area`.
QSize FittedSize(QSize image, QSize area)
{
    if (image.isEmpty()) return {};
    return image.scaled(area, Qt::KeepAspectRatio);
}

} // namespace

// ---- layout ------------------------------------------------------------------------

TPictureLayout TTomericPicture::Layout(int mode, QSize imageSize, int zoom, const QRect& client,
                                       bool centered, QPoint pan)
{
    TPictureLayout layout;
    if (imageSize.isEmpty()) return layout;
    const QSize zoomed = Zoomed(imageSize, ValidZoom(zoom));
    if (mode == pAuto) {
        const bool tooBig = zoomed.width() > client.width() || zoomed.height() > client.height();
        mode = tooBig ? pStretchAspect : pNormal;
    }
    switch (mode) {
    case pStretch:
        layout.target = client;
        break;
    case pStretchAspect: {
        const QSize fitted = FittedSize(imageSize, client.size());
        layout.target = centered ? CentredIn(client, fitted) : QRect(client.topLeft(), fitted);
        break;
    }
    case pTile:
        layout.tiled = true;
        layout.target = client;
        layout.tileSize = zoomed;
        break;
    case pTileHorz:
        layout.tiled = true;
        layout.target = client;
        layout.tileSize = QSize(zoomed.width(), std::max(client.height(), 1));
        break;
    case pTileVert:
        layout.tiled = true;
        layout.target = client;
        layout.tileSize = QSize(std::max(client.width(), 1), zoomed.height());
        break;
    default: // pNormal
        layout.target = centered ? CentredIn(client, zoomed)
                                 : QRect(client.topLeft() - pan, zoomed);
        break;
    }
    return layout;
}

// ---- the scroll box and its canvas --------------------------------------------------------

TTomericScrollBox::TTomericScrollBox(QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
}

TTomericPictureBox::TTomericPictureBox(TTomericPicture& picture) : picture_(picture)
{
    setAutoFillBackground(false);
    setCursor(picture.cursor());
}

void TTomericPictureBox::paintEvent(QPaintEvent* event)
{
    (void)event;
    QPainter painter(this);
    picture_.DrawImage(painter, TTomericPicture::Layout(pNormal, QSize(picture_.ImageWidth(),
                                                                          picture_.ImageHeight()),
                                                        picture_.ZoomFactor(), rect(), false));
}

void TTomericPictureBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    pressed_ = true;
    panned_ = false;
    lastGlobal_ = event->globalPosition().toPoint();
}

void TTomericPictureBox::mouseMoveEvent(QMouseEvent* event)
{
    if (!pressed_ || !picture_.MouseScrollable() || !picture_.ScrollBox()) return;
    const QPoint global = event->globalPosition().toPoint();
    const QPoint delta = global - lastGlobal_;
    lastGlobal_ = global;
    if (delta.isNull()) return;
    panned_ = true;
    // The image follows the pointer: the view moves the other way.
    QScrollArea* box = picture_.ScrollBox();
    box->horizontalScrollBar()->setValue(box->horizontalScrollBar()->value() - delta.x());
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->value() - delta.y());
}

void TTomericPictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    if (!panned_ && rect().contains(event->position().toPoint())) picture_.CanvasClicked();
}

// ---- the picture -----------------------------------------------------------------------------

TTomericPicture::TTomericPicture(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericObj(parent, record, host)
{
    if (const auto* props = record.As<TPictureProps>()) {
        imageFile_ = props->fileName;
        if (props->paintMode >= pNormal && props->paintMode <= pAuto) paintMode_ = props->paintMode;
        transColor_ = props->transColor;
        opacity_ = std::clamp(props->opacity, 0, 255);
        zoomFactor_ = ValidZoom(props->zoomFactor);
        centered_ = props->centered;
        resample_ = props->resample;
        scrollBars_ = props->scrollBars;
        mouseScrollable_ = props->mousePan;
        clickAction_ = props->clickAction;
        rClickAction_ = props->rClickAction;
    }
    UpdateCursorShape();
    LoadImage();
}

QRect TTomericPicture::ClientRect() const
{
    const int border = LineWidth();
    return rect().adjusted(border, border, -border, -border);
}

QSize TTomericPicture::ZoomedSize() const
{
    if (original_.isNull()) return {};
    return Zoomed(original_.size(), zoomFactor_);
}

void TTomericPicture::SetImageFile(const QString& name)
{
    imageFile_ = name;
    LoadImage();
}

void TTomericPicture::Reload() { LoadImage(); }

bool TTomericPicture::SetObjectFileName(const QString& file)
{
    SetImageFile(file);
    return true;
}

void TTomericPicture::LoadImage()
{
    original_ = QImage();
    if (!imageFile_.isEmpty()) {
        const QString name = imageFile_.contains(u'[') ? SubstituteVars(imageFile_) : imageFile_;
        original_ = Host().Picture(name);
    }
    hasAlphaMask_ = !original_.isNull() && original_.hasAlphaChannel();
    image_ = original_.isNull() ? QImage() : shapes::WithTransparentColour(original_, transColor_);
    pan_ = QPoint();
    if (scrollBox_) {
        scrollBox_->horizontalScrollBar()->setValue(0);
        scrollBox_->verticalScrollBar()->setValue(0);
    }
    UpdateLayout();
    update();
}

void TTomericPicture::SetZoomFactor(int percent)
{
    const int zoom = ValidZoom(percent);
    if (zoom == zoomFactor_) return;
    const double ratio = double(zoom) / zoomFactor_;
    zoomFactor_ = zoom;
    int h = 0, v = 0;
    if (scrollBox_) {
        h = int(std::lround(scrollBox_->horizontalScrollBar()->value() * ratio));
        v = int(std::lround(scrollBox_->verticalScrollBar()->value() * ratio));
    }
    UpdateLayout();
    if (scrollBox_) {
        // The same part of the image stays in view.
        scrollBox_->horizontalScrollBar()->setValue(h);
        scrollBox_->verticalScrollBar()->setValue(v);
    }
    PanBy(QPoint()); // keeps the pan offset inside the new image size
    update();
}

void TTomericPicture::SetPaintMode(int mode)
{
    if (mode < pNormal || mode > pAuto || mode == paintMode_) return;
    paintMode_ = mode;
    UpdateLayout();
    update();
}

void TTomericPicture::SetOpacity(int opacity)
{
    opacity = std::clamp(opacity, 0, 255);
    if (opacity == opacity_) return;
    opacity_ = opacity;
    update();
    if (canvas_) canvas_->update();
}

std::optional<QString> TTomericPicture::FamilyInfo(const QString& upperInfo) const
{
    if (upperInfo == QLatin1String("FILENAME")) return imageFile_;
    if (upperInfo == QLatin1String("IMAGEWIDTH")) return QString::number(ImageWidth());
    if (upperInfo == QLatin1String("IMAGEHEIGHT")) return QString::number(ImageHeight());
    return std::nullopt;
}

QWidget* TTomericPicture::FocusTarget()
{
    if (scrollBox_ && scrollBox_->focusPolicy() != Qt::NoFocus) return scrollBox_;
    return TTomericObj::FocusTarget();
}

bool TTomericPicture::WantsScrollBox() const
{
    return paintMode_ == pNormal && scrollBars_;
}

void TTomericPicture::UpdateLayout()
{
    if (!WantsScrollBox()) {
        if (scrollBox_) delete scrollBox_.data();
        return;
    }
    if (!scrollBox_) {
        scrollBox_ = new TTomericScrollBox(this);
        canvas_ = new TTomericPictureBox(*this);
        scrollBox_->setWidget(canvas_);
        scrollBox_->show();
    }
    scrollBox_->setGeometry(ClientRect());
    canvas_->resize(original_.isNull() ? QSize(0, 0) : ZoomedSize());
    canvas_->update();
}

void TTomericPicture::UpdateCursorShape()
{
    UseCursorSlot(clickAction_.isEmpty() ? csApplication : csHotSpot);
    // Panning shows the four-way move cursor whatever the actions.
    if (mouseScrollable_) setCursor(Qt::SizeAllCursor);
}

void TTomericPicture::DrawImage(QPainter& painter, const TPictureLayout& layout) const
{
    if (image_.isNull() || opacity_ == 0 || layout.target.isEmpty()) return;
    painter.save();
    painter.setOpacity(opacity_ / 255.0);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, resample_);
    const Qt::TransformationMode transform = resample_ ? Qt::SmoothTransformation
                                                       : Qt::FastTransformation;
    if (layout.tiled) {
        const QImage tile = layout.tileSize == image_.size()
                                ? image_
                                : image_.scaled(layout.tileSize, Qt::IgnoreAspectRatio, transform);
        painter.drawTiledPixmap(layout.target, QPixmap::fromImage(tile));
    } else if (layout.target.size() == image_.size()) {
        painter.drawImage(layout.target.topLeft(), image_);
    } else {
        painter.drawImage(QRectF(layout.target), image_);
    }
    painter.restore();
}

void TTomericPicture::PaintContent(QPainter& painter)
{
    PaintShape(painter);
    if (scrollBox_) return; // the canvas draws the image
    const QRect client = ClientRect();
    painter.save();
    painter.setClipRect(client);
    DrawImage(painter, Layout(paintMode_, original_.size(), zoomFactor_, client, centered_, pan_));
    painter.restore();
}

void TTomericPicture::PaintScaled(QPainter& painter, const QRect& target, bool scaled,
                                  int pixelsPerInch, double factorX, double factorY)
{
    (void)pixelsPerInch;
    if (!scaled) factorX = factorY = 1.0;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(factorX, factorY);
    painter.setClipRect(rect());
    PaintShape(painter);
    const QRect client = ClientRect();
    painter.setClipRect(client);
    // A scrolling picture prints the part in view.
    QPoint view = pan_;
    if (scrollBox_)
        view = QPoint(scrollBox_->horizontalScrollBar()->value(),
                      scrollBox_->verticalScrollBar()->value());
    const int mode = scrollBox_ ? int(pNormal) : paintMode_;
    DrawImage(painter, Layout(mode, original_.size(), zoomFactor_, client,
                              centered_ && !scrollBox_, view));
    painter.restore();
}

void TTomericPicture::resizeEvent(QResizeEvent* event)
{
    TTomericObj::resizeEvent(event);
    UpdateLayout();
    PanBy(QPoint());
}

void TTomericPicture::PanBy(QPoint delta)
{
    const QSize zoomed = ZoomedSize();
    const int border = 2 * LineWidth();
    const int maxX = std::max(0, zoomed.width() + border - width());
    const int maxY = std::max(0, zoomed.height() + border - height());
    const QPoint next(std::clamp(pan_.x() + delta.x(), 0, maxX),
                      std::clamp(pan_.y() + delta.y(), 0, maxY));
    if (next == pan_) return;
    pan_ = next;
    update();
}

void TTomericPicture::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button();
    panned_ = false;
    lastGlobal_ = event->globalPosition().toPoint();
    event->accept();
}

void TTomericPicture::mouseMoveEvent(QMouseEvent* event)
{
    if (pressed_ != Qt::LeftButton || !mouseScrollable_ || original_.isNull() || scrollBox_)
        return;
    const QPoint global = event->globalPosition().toPoint();
    const QPoint delta = global - lastGlobal_;
    lastGlobal_ = global;
    if (delta.isNull()) return;
    panned_ = true;
    // Dragging the image right shows more of its left side.
    PanBy(-delta);
}

void TTomericPicture::mouseReleaseEvent(QMouseEvent* event)
{
    const Qt::MouseButton button = event->button();
    if (button != pressed_) return;
    pressed_ = Qt::NoButton;
    const bool inside = rect().contains(event->position().toPoint());
    if (!inside || !EnabledState()) return;
    // A drag that panned the image is no click.
    if (button == Qt::LeftButton && !panned_) RunObjectAction(clickAction_, ekClick, 0);
    else if (button == Qt::RightButton && !scrollBox_)
        RunObjectAction(rClickAction_, ekRightClick, 0);
}

TTomericObj* CreatePicture(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericPicture(parent, record, host);
}

} // namespace tomeric
