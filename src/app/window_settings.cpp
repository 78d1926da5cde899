// ApplyWindowSettings: the publication's window style, size, position and
// stacking turned into the main window.

#include "app/work_form.h"

#include "pages/background_painter.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

namespace tomeric {

namespace {

enum TWindowStyle { wsOrdinary = 0, wsFullScreen = 1, wsShaped = 2, wsWorkArea = 3 };
enum TWindowProp { wpTitleBar = 1, wpSizeable = 2, wpMovable = 4, wpSystemMenu = 8,
                   wpMinimise = 16, wpMaximise = 32, wpNoClose = 128 };

bool IsFullScreenStyle(int style)
{
    return style == wsFullScreen || style == wsWorkArea;
}

} // namespace

void TWorkForm::ApplyWindowSettings(int width, int height)
{
    const TPublicationSettings& s = publication_.settings;
    setWindowTitle(s.title);
    stack_->resize(width, height);
    if (IsFullScreenStyle(s.windowStyle))
        ApplyFullScreenStyle();
    else
        ApplyWindowedStyle(width, height);
    stack_->SetPublicationArea(QRect(0, 0, width, height));
    DockPageObjects();
    if (s.windowOrder == 1)
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    else if (s.windowOrder == 2)
        setWindowFlag(Qt::WindowStaysOnBottomHint, true);
}

void TWorkForm::SetAreaColour(const QColor& colour)
{
    QPalette palette = area_->viewport()->palette();
    palette.setColor(QPalette::Window, colour);
    area_->viewport()->setPalette(palette);
    area_->viewport()->setAutoFillBackground(true);
    setPalette(palette);
}

void TWorkForm::ApplyFullScreenStyle()
{
    const TPublicationSettings& s = publication_.settings;
    SetAreaColour(TomericColor(s.bkndColor));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(s.windowStyle == 3 ? screen->availableGeometry() : screen->geometry());
    if (s.screenAutoSize) {
        area_->setWidgetResizable(true);
        area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return;
    }
    // The publication is centred; a client smaller than it scrolls.
    area_->setAlignment(Qt::AlignCenter);
}

void TWorkForm::ApplyWindowedStyle(int width, int height)
{
    const TPublicationSettings& s = publication_.settings;
    SetAreaColour(QGuiApplication::palette().color(QPalette::Button));
    area_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (s.windowStyle == wsShaped) {
        area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    if (s.windowStyle == wsOrdinary && s.screenAutoSize)
        area_->setWidgetResizable(true);
    ApplyWindowStyleBits();
    QSize client(width, height);
    if (s.windowStyle == wsShaped)
        client = ApplyWindowShape(client);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        client = client.boundedTo(screen->availableGeometry().size());
    resize(client);
    if (!(s.windowProps & wpSizeable) || s.windowStyle == wsShaped)
        setFixedSize(client);
    PlaceWindow();
    RestoreWindowPosition();
}

QSize TWorkForm::ApplyWindowShape(QSize client)
{
    // An unreadable or missing shape leaves an ordinary rectangular window.
    const TPublicationSettings& s = publication_.settings;
    if (s.shapeFile.isEmpty())
        return client;
    const auto shape = pictures_.WindowShape(s.shapeFile, std::uint32_t(s.shapeTransColor));
    if (!shape)
        return client;
    setMask(shape->region);
    return shape->size;
}

void TWorkForm::ApplyWindowStyleBits()
{
    const TPublicationSettings& s = publication_.settings;
    const int props = s.windowStyle == wsShaped ? 0 : s.windowProps;
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
    setWindowFlags(flags);
}

void TWorkForm::PlaceWindow()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect work = screen->availableGeometry();
    const QSize window = frameGeometry().size().expandedTo(size());
    const int pos = publication_.settings.windowPos;
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
    move(left, top);
}

} // namespace tomeric
