#include "app/screen_scale.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtGui/private/qhighdpiscaling_p.h>

#include <algorithm>
#include <optional>

namespace tomeric {

namespace {

// QT_SCALE_FACTOR as the user's environment had it, while --scale changes it.
bool g_environmentChanged = false;
std::optional<QByteArray> g_environmentScale;

// The factor applied to every screen (QT_SCALE_FACTOR, --scale included).
double EnvironmentFactor()
{
    bool ok = false;
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok && factor > 0 ? factor : 1;
}

double g_globalFactor = 0; // set before the application reads it

double GlobalFactor()
{
    return g_globalFactor > 0 ? g_globalFactor : EnvironmentFactor();
}

} // namespace

void ApplyUserScale(double scale)
{
    g_globalFactor = EnvironmentFactor() * scale;
    if (scale == 1)
        return;
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        g_environmentScale = qgetenv("QT_SCALE_FACTOR");
    g_environmentChanged = true;
    qputenv("QT_SCALE_FACTOR", QByteArray::number(g_globalFactor, 'g', 6));
}

void RestoreScaleEnvironment()
{
    // Programs the publication starts see the user's environment, not the
    // player's --scale.
    if (!g_environmentChanged)
        return;
    if (g_environmentScale)
        qputenv("QT_SCALE_FACTOR", *g_environmentScale);
    else
        qunsetenv("QT_SCALE_FACTOR");
    g_environmentChanged = false;
}

double DevicePixelsPerPoint()
{
    QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
    return screen ? QHighDpiScaling::factor(screen) : 1;
}

double TScreenFit::FitTo(QScreen& screen, QSize publication)
{
    // Device pixels per publication pixel are the global factor times the
    // screen's own; a factor set on the screen takes the place of the one
    // the desktop gives it, so the desktop's is kept to go back to.
    const double total = QHighDpiScaling::factor(&screen);
    if (screen_ != &screen) {
        Restore();
        screen_ = &screen;
        totalBefore_ = total;
    }
    if (publication.isEmpty())
        return total;
    const QSizeF devicePixels = QSizeF(screen.geometry().size()) * total;
    const double fit = std::min(devicePixels.width() / publication.width(),
                                devicePixels.height() / publication.height());
    QHighDpiScaling::setScreenFactor(&screen, fit / GlobalFactor());
    return fit;
}

void TScreenFit::Restore()
{
    if (!screen_)
        return;
    QHighDpiScaling::setScreenFactor(screen_, totalBefore_ / GlobalFactor());
    screen_ = nullptr;
}

} // namespace tomeric
