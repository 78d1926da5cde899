#pragma once
// The special ways a publication can run and the system settings it may ask
// to change: screen-saver modes (the window settings they force, the
// configuration page, MOUSEEXIT), the blocked system keys (NOCTRLALTDEL,
// NOPRINTSCRN) and the display-mode switch.
//
// The desktops this player runs on offer no way for an ordinary program to
// block Ctrl+Alt+Del, Alt+Tab or Print Screen, or to switch the display mode
// behind the compositor's back. Those requests fail safe: the publication
// runs as it would without them, and the player says so once in its log
// (standard error), so a kiosk operator knows to lock the desktop instead.

#include "package/command_line.h"
#include "package/package.h"
#include "publication/publication_model.h"

#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <optional>

namespace tomeric {

// Writes "qxplay5: <text>" to standard error, once per distinct text.
void LogNoticeOnce(const QString& text);

// The settings a screen-saver mode forces: the run mode shows full screen,
// on top, with the system keys blocked; the configuration modes show an
// ordinary window with WINDOWPROPS 13.
void ApplyScreenSaverSettings(TPublicationSettings& settings, TScreenSaverMode mode);

// True in the configuration modes, which start on the page named "Config".
bool StartsOnConfigPage(TScreenSaverMode mode);

// Reports, once each, the system-key blocks and the display-mode switch a
// publication asks for and that this system cannot grant.
void ReportUnavailableSystemModes(const TPublicationSettings& settings, TScreenSaverMode mode,
                                  const TDisplayModeRequest& displayMode);

// MOUSEEXIT in screen-saver run mode: any key, any mouse button, or a
// pointer movement out of the 3 × 3 square around the first position seen
// asks to close. Installed on the application. `close` returns false when
// the publication refused to close.
class TMouseExitFilter : public QObject {
public:
    explicit TMouseExitFilter(std::function<bool()> close, QObject* parent = nullptr);

    // Whether a movement to `position` leaves the square around `first`.
    static bool MovedAway(QPoint first, QPoint position);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RequestClose();

    std::function<bool()> close_;
    std::optional<QPoint> firstPosition_;
    bool closing_ = false;
};

} // namespace tomeric
