// The saved window position (WINDOWREGKEY = key path, "\", value name):
// written when the publication closes as "left,top,width,height,maximised",
// read back when the window settings are applied.

#include "app/window_settings.h"

#include "platform/registry_store.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

namespace tomeric {

namespace {

struct TRegistryPlace {
    QString keyPath, valueName;
    bool valid = false;
};

TRegistryPlace PlaceOf(const QString& windowRegKey)
{
    TRegistryPlace place;
    const qsizetype cut = windowRegKey.lastIndexOf(QLatin1Char('\\'));
    if (windowRegKey.isEmpty() || cut < 0)
        return place;
    place.keyPath = windowRegKey.left(cut);
    place.valueName = windowRegKey.mid(cut + 1);
    place.valid = true;
    return place;
}

// The part at `index` as a number when it parses.
std::optional<int> NumberAt(const QStringList& parts, int index)
{
    bool ok = false;
    const int value = parts.value(index).trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

void TWindowSettings::SaveWindowPosition()
{
    const TRegistryPlace place = PlaceOf(settings_.windowRegKey);
    if (!place.valid)
        return;
    const QRect normal = window_.isMaximized() || window_.isMinimized() ? window_.normalGeometry() : window_.frameGeometry();
    const QString text = QStringLiteral("%1,%2,%3,%4,%5")
                             .arg(normal.left())
                             .arg(normal.top())
                             .arg(normal.width())
                             .arg(normal.height())
                             .arg(window_.isMaximized() ? 1 : 0);
    // A registry that cannot be written leaves the position unsaved.
    platform::RegistryStore().WriteValue(platform::RegistryRoot::CurrentUser, place.keyPath, place.valueName,
                                         platform::RegistryValue::FromString(text));
}

void TWindowSettings::RestoreWindowPosition()
{
    const TRegistryPlace place = PlaceOf(settings_.windowRegKey);
    if (!place.valid)
        return;
    platform::RegistryValue value;
    if (!platform::RegistryStore()
             .ReadValue(platform::RegistryRoot::CurrentUser, place.keyPath, place.valueName, &value)
             .ok())
        return;
    const QStringList parts = value.text.split(QLatin1Char(','));
    const bool sizeable = settings_.windowProps & wpSizeable;
    QRect rect = window_.frameGeometry();
    if (const auto left = NumberAt(parts, 0))
        rect.moveLeft(*left);
    if (const auto top = NumberAt(parts, 1))
        rect.moveTop(*top);
    if (sizeable) {
        if (const auto width = NumberAt(parts, 2))
            rect.setWidth(*width);
        if (const auto height = NumberAt(parts, 3))
            rect.setHeight(*height);
    }
    // A position beyond the desktop comes back on screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->virtualGeometry();
        if (rect.left() > desktop.width())
            rect.moveLeft(std::max(0, desktop.width() - rect.width()));
        if (rect.top() > desktop.height())
            rect.moveTop(std::max(0, desktop.height() - rect.height()));
    }
    window_.move(rect.topLeft());
    if (sizeable)
        window_.resize(rect.size() - (window_.frameGeometry().size() - window_.size()));
    if (NumberAt(parts, 4) == 1)
        window_.setWindowState(window_.windowState() | Qt::WindowMaximized);
}

} // namespace tomeric
