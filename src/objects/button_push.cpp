// TTomericPushBtn: images (a library strip of three frames or individual
// up, down and over pictures), bevels, the depress effect, overlay text, the
// disabled look, themed drawing and the right click.

#include "objects/buttons.h"

#include "pages/background_painter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace tomeric {
namespace {

constexpr int kImageGap = 4;    // between an image and its caption
constexpr int kImageInset = 4;  // an overlaid image from the left or right edge
constexpr int kFocusInset = 2;  // focus rectangle inside border and bevel
constexpr int kVeilAlpha = 128; // strength of the disabled wash

const QColor kWhite(255, 255, 255);

QColor ButtonShadow()
{
    QColor shadow = TomericColor(SystemColour(16));
    shadow.setAlpha(255);
    return shadow;
}

// Fills `width` bands along the edges of `area`: top and left in one
// colour, bottom and right in the other.
void FillBevel(QPainter& painter, const QRect& area, int width, const QColor& topLeft,
               const QColor& bottomRight)
{
    for (int i = 0; i < width && i * 2 < std::min(area.width(), area.height()); ++i) {
        const QRect ring = area.adjusted(i, i, -i, -i);
        painter.fillRect(QRect(ring.left(), ring.top(), ring.width(), 1), topLeft);
        painter.fillRect(QRect(ring.left(), ring.top(), 1, ring.height()), topLeft);
        painter.fillRect(QRect(ring.left(), ring.bottom(), ring.width(), 1), bottomRight);
        painter.fillRect(QRect(ring.right(), ring.top(), 1, ring.height()), bottomRight);
    }
}

Qt::Alignment HorizontalFlag(int alignment)
{
    switch (alignment) {
    case baLeft: return Qt::AlignLeft;
    case baRight: return Qt::AlignRight;
    default: return Qt::AlignHCenter;
    }
}

// Where the image and the caption go inside `content`.
struct TFaceLayout {
    QRect image;
    QRect caption;
};

TFaceLayout LayOutImageAndCaption(const QRect& content, QSize image, QSize text, int alignment,
                                  int gap)
{
    TFaceLayout layout;
    if (text.isEmpty()) gap = 0;
    if (alignment == baCentre) {
        const int blockHeight = image.height() + gap + text.height();
        const int top = content.top() + (content.height() - blockHeight) / 2;
        layout.image = QRect(QPoint(content.left() + (content.width() - image.width()) / 2, top), image);
        layout.caption = QRect(content.left(), top + image.height() + gap, content.width(), text.height());
        return layout;
    }
    const int blockWidth = image.width() + gap + text.width();
    const int left = content.left() + (content.width() - blockWidth) / 2;
    const int imageTop = content.top() + (content.height() - image.height()) / 2;
    if (alignment == baLeft) {
        layout.image = QRect(QPoint(left, imageTop), image);
        layout.caption = QRect(left + image.width() + gap, content.top(), text.width(), content.height());
    } else {
        layout.caption = QRect(left, content.top(), text.width(), content.height());
        layout.image = QRect(QPoint(left + text.width() + gap, imageTop), image);
    }
    return layout;
}

QRect OverlaidImage(const QRect& content, QSize image, int alignment, int inset)
{
    const int top = content.top() + (content.height() - image.height()) / 2;
    switch (alignment) {
    case baLeft: return QRect(QPoint(content.left() + inset, top), image);
    case baRight: return QRect(QPoint(content.right() + 1 - inset - image.width(), top), image);
    default: return QRect(QPoint(content.left() + (content.width() - image.width()) / 2, top), image);
    }
}

void Veil(QPainter& painter, const QRect& area, QColor colour)
{
    colour.setAlpha(kVeilAlpha);
    painter.fillRect(area, colour);
}

} // namespace

TTomericPushBtn::TTomericPushBtn(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericButton(parent, record, host)
{
    if (const auto* props = record.As<TPushButtonProps>()) {
        rClickAction_ = props->rClickAction;
        if (props->imageStyle >= qxbsNone && props->imageStyle <= qxbsIndividual)
            imageStyle_ = props->imageStyle;
        upImage_ = {props->upImage, props->upTransColor, {}};
        downImage_ = {props->downImage, props->downTransColor, {}};
        overImage_ = {props->overImage, props->overTransColor, {}};
        libImage_ = {props->libImage, kNoTransparentColour, {}};
        overlayText_ = props->overlayText;
        depressEffect_ = props->depressEffect;
        bevelWidth_ = std::max(props->bevelWidth, 0);
    }
    ReloadImages();
}

TTomericBtnStyles TTomericPushBtn::ButtonStyle() const
{
    return TTomericObj::GetIsTransparent() ? bsStandardBknd : bsStandard;
}

bool TTomericPushBtn::GetIsTransparent() const
{
    return TTomericObj::GetIsTransparent() || Themed();
}

// ---- images ---------------------------------------------------------------------

void TTomericPushBtn::LoadImage(TImageSlot& slot)
{
    slot.image = QImage();
    if (slot.file.isEmpty()) return;
    QImage picture = Host().Picture(slot.file);
    if (picture.isNull()) return; // the caption alone is drawn
    picture = picture.convertToFormat(QImage::Format_ARGB32);
    if (slot.transparentColour != kNoTransparentColour) {
        const QRgb key = TomericColor(slot.transparentColour).rgb() & 0xFFFFFF;
        for (int y = 0; y < picture.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
        }
    }
    slot.image = picture;
}

void TTomericPushBtn::ReloadImages()
{
    for (TImageSlot* slot : {&upImage_, &downImage_, &overImage_, &libImage_}) LoadImage(*slot);
}

void TTomericPushBtn::SetImageStyle(int value)
{
    if (value < qxbsNone || value > qxbsIndividual || imageStyle_ == value) return;
    imageStyle_ = value;
    update();
}

void TTomericPushBtn::SetUpImage(const QString& file, std::int32_t transparentColour)
{
    if (upImage_.file == file && upImage_.transparentColour == transparentColour) return;
    upImage_ = {file, transparentColour, {}};
    LoadImage(upImage_);
    update();
}

void TTomericPushBtn::SetDownImage(const QString& file, std::int32_t transparentColour)
{
    if (downImage_.file == file && downImage_.transparentColour == transparentColour) return;
    downImage_ = {file, transparentColour, {}};
    LoadImage(downImage_);
    update();
}

void TTomericPushBtn::SetOverImage(const QString& file, std::int32_t transparentColour)
{
    if (overImage_.file == file && overImage_.transparentColour == transparentColour) return;
    overImage_ = {file, transparentColour, {}};
    LoadImage(overImage_);
    update();
}

void TTomericPushBtn::SetLibImage(const QString& file)
{
    if (libImage_.file == file) return;
    libImage_ = {file, kNoTransparentColour, {}};
    LoadImage(libImage_);
    update();
}

void TTomericPushBtn::SetOverlayText(bool value)
{
    if (overlayText_ == value) return;
    overlayText_ = value;
    update();
}

void TTomericPushBtn::SetDepressEffect(bool value)
{
    if (depressEffect_ == value) return;
    depressEffect_ = value;
    update();
}

void TTomericPushBtn::SetBevelWidth(int value)
{
    value = std::clamp(value, 0, 255);
    if (bevelWidth_ == value) return;
    bevelWidth_ = value;
    update();
}

bool TTomericPushBtn::HasHoverLook() const
{
    if (Themed()) return true;
    if (imageStyle_ == qxbsLibrary) return !libImage_.image.isNull();
    if (imageStyle_ == qxbsIndividual) return !overImage_.image.isNull();
    return false;
}

TTomericPushBtn::TImagePick TTomericPushBtn::PickImage() const
{
    if (imageStyle_ == qxbsLibrary) {
        const QImage& strip = libImage_.image;
        const int frameWidth = strip.width() / 3;
        if (strip.isNull() || frameWidth <= 0) return {};
        // Frame 1 up, frame 2 hot, frame 3 pressed.
        const int frame = VisualState() == bvDown ? 2 : VisualState() == bvHot ? 1 : 0;
        return {strip, QRect(frame * frameWidth, 0, frameWidth, strip.height())};
    }
    if (imageStyle_ != qxbsIndividual) return {};
    const QImage* chosen = &upImage_.image;
    if (VisualState() == bvDown) {
        if (!downImage_.image.isNull()) chosen = &downImage_.image;
        else if (!overImage_.image.isNull()) chosen = &overImage_.image;
    } else if (VisualState() == bvHot && !overImage_.image.isNull()) {
        chosen = &overImage_.image;
    }
    if (chosen->isNull()) return {};
    return {*chosen, chosen->rect()};
}

// ---- commands ---------------------------------------------------------------------

bool TTomericPushBtn::SetObjectFileName(const QString& file)
{
    if (imageStyle_ == qxbsLibrary) SetLibImage(file);
    else if (imageStyle_ == qxbsIndividual) SetUpImage(file, upImage_.transparentColour);
    return true;
}

std::optional<QString> TTomericPushBtn::FamilyInfo(const QString& upperInfo) const
{
    if (upperInfo == QLatin1String("FILENAME"))
        return imageStyle_ == qxbsLibrary ? libImage_.file : upImage_.file;
    return TTomericButton::FamilyInfo(upperInfo);
}

void TTomericPushBtn::RefreshObject()
{
    ReloadImages();
    update();
}

// ---- mouse ----------------------------------------------------------------------------

void TTomericPushBtn::HoverChanged()
{
    if (Tracking()) return;
    if (MouseInside()) {
        if (VisualState() != bvHot && HasHoverLook()) SetVisualState(bvHot);
    } else if (VisualState() == bvHot) {
        SetVisualState(bvUp);
    }
}

void TTomericPushBtn::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        if (EnabledState() && rect().contains(event->position().toPoint()))
            RunObjectAction(rClickAction_, ekRightClick, 0);
        event->accept();
        return;
    }
    TTomericButton::mouseReleaseEvent(event);
}

// ---- drawing ----------------------------------------------------------------------------

int TTomericPushBtn::PaintFrame(QPainter& painter, const QRect& target, const TButtonScale& scale,
                                bool themed)
{
    const bool pressed = VisualState() == bvDown;
    const int shiftOne = scale.X(1);
    const int depressShift = pressed && depressEffect_ && imageStyle_ != qxbsLibrary ? shiftOne : 0;
    if (themed) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = target;
        option.state &= ~(QStyle::State_MouseOver | QStyle::State_Sunken | QStyle::State_HasFocus);
        if (!EnabledState()) option.state &= ~QStyle::State_Enabled;
        if (pressed) option.state |= QStyle::State_Sunken;
        else option.state |= QStyle::State_Raised;
        if (VisualState() == bvHot) option.state |= QStyle::State_MouseOver;
        style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
        return depressShift;
    }
    const int border = scale.X(LineWidth());
    const int bevel = scale.X(bevelWidth_);
    if (bevel <= 0) return depressShift;
    const QRect inner = target.adjusted(border, border, -border, -border);
    if (!pressed) {
        FillBevel(painter, inner, bevel, kWhite, ButtonShadow());
        return 0;
    }
    if (border > 0) {
        // A pressed framed button: the top and left bands darken and the
        // face slides by the bevel width.
        painter.fillRect(QRect(inner.left(), inner.top(), inner.width(), bevel), ButtonShadow());
        painter.fillRect(QRect(inner.left(), inner.top(), bevel, inner.height()), ButtonShadow());
        return bevel;
    }
    FillBevel(painter, inner, bevel, ButtonShadow(), kWhite);
    return shiftOne;
}

void TTomericPushBtn::PaintFace(QPainter& painter, const QRect& content, const QRect& target,
                                const TButtonScale& scale, bool themed)
{
    const TImagePick pick = PickImage();
    const QFont font = ScaledFont(scale);
    const QString caption = DisplayCaption();
    const QSize textSize = CaptionSize(font, caption);
    const bool disabled = !EnabledState();
    const bool transparentBorderless = TTomericObj::GetIsTransparent() && LineWidth() == 0;
    const bool embossed = disabled && (transparentBorderless || themed || StandAlone());
    const Qt::Alignment horizontal = HorizontalFlag(Alignment());

    QRect captionArea = content;
    int captionFlags = int(horizontal | Qt::AlignVCenter);
    if (!pick.image.isNull()) {
        const QSize imageSize(scale.X(pick.source.width()), scale.Y(pick.source.height()));
        QRect imageArea;
        if (overlayText_ || caption.isEmpty()) {
            imageArea = OverlaidImage(content, imageSize, overlayText_ ? Alignment() : baCentre,
                                      scale.X(kImageInset));
        } else {
            const TFaceLayout layout =
                LayOutImageAndCaption(content, imageSize, textSize, Alignment(), scale.X(kImageGap));
            imageArea = layout.image;
            captionArea = layout.caption;
            captionFlags = int(Alignment() == baCentre ? Qt::AlignHCenter | Qt::AlignTop
                                                       : Qt::AlignLeft | Qt::AlignVCenter);
        }
        painter.drawImage(imageArea, pick.image, pick.source);
        if (embossed) Veil(painter, imageArea, TomericColor(FillColor()));
    }
    painter.save();
    painter.setClipRect(content);
    DrawCaption(painter, captionArea, captionFlags, caption, font, embossed);
    painter.restore();
    if (disabled && !embossed) Veil(painter, target, TomericColor(FillColor()));
}

void TTomericPushBtn::PaintButton(QPainter& painter, const QRect& target, const TButtonScale& scale)
{
    const bool themed = ThemedFor(scale);
    if (!themed && width() > 0 && height() > 0) {
        // Fill and border are the common shape, stretched over the target.
        painter.save();
        painter.translate(target.topLeft());
        painter.scale(double(target.width()) / width(), double(target.height()) / height());
        PaintShape(painter);
        painter.restore();
    }
    const int shift = PaintFrame(painter, target, scale, themed);
    const int edge = themed ? scale.X(bevelWidth_ > 0 ? bevelWidth_ : 1)
                            : scale.X(LineWidth()) + scale.X(bevelWidth_);
    const QRect content = target.adjusted(edge, edge, -edge, -edge).translated(shift, shift);
    PaintFace(painter, content, target, scale, themed);
    if (ShowsFocus()) {
        const int inset = edge + scale.X(kFocusInset);
        DrawFocusFrame(painter, target.adjusted(inset, inset, -inset, -inset));
    }
}

TTomericObj* CreatePushButton(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericPushBtn(parent, record, host);
}

} // namespace tomeric
