#pragma once
// TWindowSettings: the main window as the publication sets it up (window
// style, size, placement, stacking, a shaped outline, the saved position
// under WINDOWREGKEY) and dragging a window without a title bar by its page
// background. The user may ask for another presentation: full screen with
// the publication area scaled to fit and centred on the publication's
// background colour (--fullscreen, F11), or an ordinary window (--windowed).

#include "app/player_options.h"
#include "app/screen_scale.h"
#include "publication/publication_settings.h"

#include <QEvent>
#include <QPoint>
#include <QSize>

class QColor;
class QMainWindow;
class QScrollArea;

namespace tomeric {

class TPictureStore;

enum TWindowStyle { wsOrdinary = 0, wsFullScreen = 1, wsShaped = 2, wsWorkArea = 3 };
enum TWindowProp { wpTitleBar = 1, wpSizeable = 2, wpMovable = 4, wpSystemMenu = 8,
                   wpMinimise = 16, wpMaximise = 32, wpNoClose = 128 };

class TWindowSettings {
public:
    // `settings` are the running publication's (the same object across
    // publications run in this window).
    TWindowSettings(QMainWindow& window, const TPublicationSettings& settings, TPictureStore& pictures);

    // --fullscreen, --windowed: before Apply.
    void SetPresentation(TPresentation presentation);
    // Style, size and position of the window around the publication area
    // `area` of width x height.
    void Apply(QScrollArea& area, int width, int height);
    // F11: into full screen scaled to fit, or back to the window as it was.
    void ToggleFullScreen();
    // Full screen fits again, now that the main menu is in place.
    void FitAgain();
    // WINDOWORDER=: always on top, or below other windows.
    void ApplyStacking();
    // Written when the publication closes; read back by Apply.
    void SaveWindowPosition();
    // Mouse events over the page background move a movable window without
    // a title bar.
    void DragWindow(QEvent::Type type, QPoint globalPosition);

private:
    // The style and properties in effect: the publication's, or those of an
    // ordinary window under --windowed.
    int Style() const;
    int Props() const;
    void ApplyFittedFullScreen();
    void ResetAreaAndWindow();
    void ApplyFullScreenStyle();
    void ApplyWindowedStyle(int width, int height);
    void ApplyWindowStyleBits();
    QSize ApplyWindowShape(QSize client);
    void PlaceWindow();
    void SetAreaColour(const QColor& colour);
    void RestoreWindowPosition();

    QMainWindow& window_;
    const TPublicationSettings& settings_;
    TPictureStore& pictures_;
    QScrollArea* area_ = nullptr;
    QSize publicationSize_;
    bool windowed_ = false;  // --windowed
    bool fitted_ = false;    // full screen scaled to fit (--fullscreen, F11)
    TScreenFit screenFit_;
    QPoint dragOffset_;
    bool dragging_ = false;
};

} // namespace tomeric
