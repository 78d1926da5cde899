// The publication's window style, size, position and stacking turned into
// the main window, and dragging a window that has no title bar.

#include "app/window_settings.h"

#include "pages/background_painter.h"
#include "pages/picture_store.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

namespace tomeric {

namespace {

bool IsFullScreenStyle(int style)
{
    return style == wsFullScreen || style == wsWorkArea;
}

// An ordinary window with everything a tester needs: title, border, moving,
// system menu, minimise and maximise boxes.
constexpr int kOrdinaryWindowProps = wpTitleBar | wpSizeable | wpMovable | wpSystemMenu | wpMinimise | wpMaximise;

QScreen* ScreenOf(const QWidget& window)
{
    QScreen* screen = window.screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

} // namespace

TWindowSettings::TWindowSettings(QMainWindow& window, const TPublicationSettings& settings, TPictureStore& pictures)
    : window_(window), settings_(settings), pictures_(pictures)
{
}

void TWindowSettings::SetPresentation(TPresentation presentation)
{
    windowed_ = presentation == TPresentation::prWindowed;
    fitted_ = presentation == TPresentation::prFullScreen;
}

int TWindowSettings::Style() const
{
    return windowed_ ? wsOrdinary : settings_.windowStyle;
}

int TWindowSettings::Props() const
{
    return windowed_ && settings_.windowStyle != wsOrdinary ? kOrdinaryWindowProps : settings_.windowProps;
}

void TWindowSettings::Apply(QScrollArea& area, int width, int height)
{
    area_ = &area;
    publicationSize_ = QSize(width, height);
    window_.setWindowTitle(settings_.title);
    if (fitted_)
        ApplyFittedFullScreen();
    else if (IsFullScreenStyle(Style()))
        ApplyFullScreenStyle();
    else
        ApplyWindowedStyle(width, height);
}

void TWindowSettings::ToggleFullScreen()
{
    if (!area_)
        return;
    const bool visible = window_.isVisible();
    fitted_ = !fitted_;
    ResetAreaAndWindow();
    Apply(*area_, publicationSize_.width(), publicationSize_.height());
    ApplyStacking();
    if (visible)
        window_.show();
}

void TWindowSettings::FitAgain()
{
    if (fitted_ && area_)
        ApplyFittedFullScreen();
}

void TWindowSettings::ResetAreaAndWindow()
{
    // Whatever the last presentation set goes back to the defaults the
    // next one starts from.
    screenFit_.Restore();
    window_.setWindowState(window_.windowState() & ~Qt::WindowFullScreen);
    window_.setMinimumSize(0, 0);
    window_.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window_.clearMask();
    area_->setWidgetResizable(false);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    if (QWidget* pages = area_->widget())
        pages->resize(publicationSize_);
}

void TWindowSettings::ApplyFittedFullScreen()
{
    // The publication area fills the screen's shorter side; the rest of the
    // screen shows the publication's background colour. A publication that
    // sizes itself to the window (SCREENAUTOSIZE) just gets the whole screen.
    const TPublicationSettings& s = settings_;
    // The letterbox only: the menu bar keeps the desktop's colours.
    QPalette palette = area_->viewport()->palette();
    palette.setColor(QPalette::Window, TomericColor(s.bkndColor));
    area_->viewport()->setPalette(palette);
    area_->viewport()->setAutoFillBackground(true);
    window_.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    QScreen* screen = ScreenOf(window_);
    if (!screen)
        return;
    // A main menu takes its rows above the publication area, scaled too.
    const QWidget* menu = window_.menuWidget();
    const int menuHeight = menu && !menu->isHidden() ? menu->sizeHint().height() : 0;
    if (!s.screenAutoSize)
        screenFit_.FitTo(*screen, publicationSize_ + QSize(0, menuHeight));
    window_.setGeometry(screen->geometry());
    window_.setWindowState(window_.windowState() | Qt::WindowFullScreen);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area_->setWidgetResizable(s.screenAutoSize);
    area_->setAlignment(Qt::AlignCenter);
}

void TWindowSettings::ApplyStacking()
{
    if (settings_.windowOrder == 1)
        window_.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    else if (settings_.windowOrder == 2)
        window_.setWindowFlag(Qt::WindowStaysOnBottomHint, true);
}

void TWindowSettings::SetAreaColour(const QColor& colour)
{
    QPalette palette = area_->viewport()->palette();
    palette.setColor(QPalette::Window, colour);
    area_->viewport()->setPalette(palette);
    area_->viewport()->setAutoFillBackground(true);
    window_.setPalette(palette);
}

void TWindowSettings::ApplyFullScreenStyle()
{
    const TPublicationSettings& s = settings_;
    SetAreaColour(TomericColor(s.bkndColor));
    window_.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen)
        window_.setGeometry(s.windowStyle == 3 ? screen->availableGeometry() : screen->geometry());
    if (s.screenAutoSize) {
        area_->setWidgetResizable(true);
        area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return;
    }
    // The publication is centred; a client smaller than it scrolls.
    area_->setAlignment(Qt::AlignCenter);
}

void TWindowSettings::ApplyWindowedStyle(int width, int height)
{
    const TPublicationSettings& s = settings_;
    const int style = Style();
    SetAreaColour(QGuiApplication::palette().color(QPalette::Button));
    area_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (style == wsShaped) {
        area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    if (style == wsOrdinary && s.screenAutoSize)
        area_->setWidgetResizable(true);
    ApplyWindowStyleBits();
    QSize client(width, height);
    if (style == wsShaped)
        client = ApplyWindowShape(client);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        client = client.boundedTo(screen->availableGeometry().size());
    window_.resize(client);
    if (!(Props() & wpSizeable) || style == wsShaped)
        window_.setFixedSize(client);
    PlaceWindow();
    RestoreWindowPosition();
}

QSize TWindowSettings::ApplyWindowShape(QSize client)
{
    // An unreadable or missing shape leaves an ordinary rectangular window.
    const TPublicationSettings& s = settings_;
    if (s.shapeFile.isEmpty())
        return client;
    const auto shape = pictures_.WindowShape(s.shapeFile, std::uint32_t(s.shapeTransColor));
    if (!shape)
        return client;
    window_.setMask(shape->region);
    return shape->size;
}

void TWindowSettings::ApplyWindowStyleBits()
{
    const int props = Style() == wsShaped ? 0 : Props();
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
    if (props & wpTitleBar)
        flags |= Qt::WindowTitleHint;
    else
        flags |= Qt::FramelessWindowHint;
    if (props & wpSystemMenu) {
        flags |= Qt::WindowSystemMenuHint;
        if (!(props & wpNoClose))
            flags |= Qt::WindowCloseButtonHint;
        if (props & wpMinimise)
            flags |= Qt::WindowMinimizeButtonHint;
        if (props & wpMaximise)
            flags |= Qt::WindowMaximizeButtonHint;
    }
    window_.setWindowFlags(flags);
}

void TWindowSettings::PlaceWindow()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect work = screen->availableGeometry();
    const QSize window = window_.frameGeometry().size().expandedTo(window_.size());
    const int pos = settings_.windowPos;
    int left = work.width() / 2 - window.width() / 2;
    if (pos >= 3 && pos <= 5)
        left = 0;
    else if (pos >= 6 && pos <= 8)
        left = work.right() + 1 - window.width();
    int top = work.height() / 2 - window.height() / 2;
    if (pos == 1 || pos == 3 || pos == 6)
        top = 0;
    else if (pos == 2 || pos == 5 || pos == 8)
        top = work.bottom() + 1 - window.height();
    window_.move(left, top);
}

void TWindowSettings::DragWindow(QEvent::Type type, QPoint globalPosition)
{
    // A window without title bar that may be moved follows the left button
    // dragged over the page background.
    const int props = Props();
    const bool movable = (props & wpMovable) && (!(props & wpTitleBar) || Style() == wsShaped);
    if (!movable || fitted_ || IsFullScreenStyle(Style()))
        return;
    if (type == QEvent::MouseButtonPress) {
        dragging_ = QApplication::mouseButtons() & Qt::LeftButton;
        dragOffset_ = globalPosition - window_.frameGeometry().topLeft();
    } else if (type == QEvent::MouseMove && dragging_) {
        window_.move(globalPosition - dragOffset_);
    } else if (type == QEvent::MouseButtonRelease) {
        dragging_ = false;
    }
}

} // namespace tomeric
