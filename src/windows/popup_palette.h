#pragma once
// TPopUpPalette: what the balloon, the sticky note, the picture pop-up and
// the pick list share. A frameless window that stays on top and shows
// without taking the focus, placed inside the work area of the screen
// nearest to it; ShowPopUp runs a private event loop and returns only when
// the pop-up has been dismissed, so the script that opened it waits.
//
// While it waits the pop-up watches every event of the application (the
// message hook):
//   - events for the pop-up and its children pass untouched;
//   - mouse movement over other windows is swallowed (in MOUSEEXIT screen
//     saver mode, a movement beyond a 2 x 2 box cancels);
//   - a left or right button press elsewhere cancels, and neither it nor its
//     release reaches the window under the pointer;
//   - a key for another window: Esc cancels (any key in MOUSEEXIT mode),
//     Enter confirms, Pause passes on, every other key goes to the pop-up;
//   - shortcuts of the main window are off.
// A click on the pop-up or a key that reaches it confirms (the menu has its
// own rules). The display time ends it with Cancel; so does the application
// losing activation or closing, and the pop-up being hidden.
//
// One pop-up of each kind is open at a time: Open(kind) is its slot.

#include <QCursor>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

namespace tomeric {

enum class TPopUpKind { pkBalloon, pkStickyNote, pkImage, pkMenu };
enum class TPopUpResult { prCancel, prOk };

// What the player gives every pop-up.
struct TPopUpEnvironment {
    QWidget* owner = nullptr;       // the main window
    QCursor cursor{Qt::ArrowCursor}; // the publication's normal pointer, shown meanwhile
    bool closeOnMouseMove = false;  // screen saver run mode with MOUSEEXIT
};

class TPopUpPalette : public QWidget {
    Q_OBJECT
public:
    TPopUpPalette(TPopUpKind kind, const TPopUpEnvironment& environment);
    ~TPopUpPalette() override;

    TPopUpKind Kind() const { return kind_; }
    // The open pop-up of that kind, if any.
    static TPopUpPalette* Open(TPopUpKind kind);
    // The pop-up that waits for the user (the one opened last); null when
    // none does.
    static TPopUpPalette* Waiting();
    // True while a pop-up has been dismissed but the command that showed it
    // has not yet got its result back.
    static bool Returning();
    // Called each time a pop-up begins to wait (the driver goes on with its
    // script meanwhile). One observer; an empty function removes it.
    static void SetWaitObserver(std::function<void()> observer);
    // Where the pointer is: the screen's pointer, or where a driver last
    // put its simulated mouse (SetDrivenPointer).
    static QPoint PointerPosition();
    static void SetDrivenPointer(const QPoint& screenPoint);
    // Where a pop-up of `wanted` ends up once fitted into the work area of
    // the screen nearest to its top-left corner.
    static QPoint FittedPosition(const QRect& wanted);

    // Shows the pop-up with its top-left corner at `topLeft` (moved into the
    // work area) and waits: display time 0 until dismissed, above 0 at most
    // that many milliseconds, -1 not at all (shown and hidden at once, OK).
    TPopUpResult ShowPopUp(const QPoint& topLeft, int displayTime);
    // Ends the wait with `result` (nothing when it is not waiting).
    void EndPopUp(TPopUpResult result);
    bool IsWaiting() const { return waiting_; }

protected:
    // Called once the pop-up shows, before it waits (the picture pop-up
    // runs its transition here).
    virtual void Opened() {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool Belongs(const QObject* object) const;
    bool FilterMouse(QEvent* event);
    bool FilterKey(QKeyEvent* event);
    void WaitForResult(int displayTime);

    TPopUpKind kind_;
    TPopUpEnvironment environment_;
    QEventLoop loop_;
    QTimer displayTimer_;
    TPopUpResult result_ = TPopUpResult::prCancel;
    bool waiting_ = false;
    bool swallowRelease_ = false;           // a press elsewhere was swallowed
    std::optional<QPoint> lastMousePosition_; // MOUSEEXIT mode
};

} // namespace tomeric
