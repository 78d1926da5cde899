#pragma once
// The driver: a script of verbs that plays a publication without a person
// (qxplay5 --drive FILE). One verb a line; blank lines and lines starting
// with "#" are skipped. The verbs run one after the other on the event
// loop, so the publication stays live between them; when the script ends
// the player closes.
//
//   wait MS  |  click SPOT  |  rclick SPOT  |  dblclick SPOT  |  hover SPOT
//   drag SPOT SPOT  |  drag SPOT DX DY  |  press SPOT  |  release [SPOT | DX DY]
//   key KEY  |  type TEXT   |  answer VALUE |  run ACTION LINE
//   vars FILE  |  screenshot FILE  |  media FILE  |  quit
//   closewindow NAME  |  windowshot NAME FILE
//
// A SPOT is an object's name: the mouse goes to the object itself, at its
// centre (for a shaped object whose centre lies outside its shape, at the
// centre of the shape's first piece). "NAME@X,Y" aims at the point X,Y of
// the object's rectangle instead, counted from its top-left corner, and the
// mouse then reaches whatever lies there, as a real pointer would: beside a
// polygon's shape that is the object beneath. "drag" presses the left
// button on the first spot, moves in steps and releases on the second spot
// (on an object's centre), or DX, DY pixels away from where it pressed.
// "press" and "release" are the two halves of a drag, so that the script can
// look at the publication (a screenshot) while the button is held; a bare
// "release" lets go where the button went down.
// "hover" also takes the pointer off what an earlier hover put it on.
// A name that is no object of the page may name a control of another open
// window of the player: "ProgressCancel", the progress window's Cancel.
// Names are looked up on the pages shown in custom windows first. While a
// modal window is open, the mouse reaches nothing outside it.
// "closewindow" closes a floating window (by its file or page name) as its
// close button does, "@" or not; "windowshot" saves one floating window's
// client area as PNG.
//
// Pop-ups: while one waits, the verbs act on the screen as a person would.
// "key" and "type" reach it through its hook (Esc cancels, Enter confirms,
// other keys go to the pop-up); a click on an object outside it cancels it
// and is not delivered; "popup@X,Y" names a point of the waiting pop-up
// (counted from its top-left corner) for click, hover, press and release;
// "wait" lets display times run out. A verb that opens a pop-up and waits in
// it ("run Menu ...") lets the script go on meanwhile. "screenshot" composes
// the open pop-ups and other windows of the player over the publication area.

#include <QDeadlineTimer>
#include <QKeySequence>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tomeric {

class TWorkForm;

// A key as the driver writes it ("Ctrl+Shift+PgDn", "Esc", "a"): the Qt key
// and modifiers; nothing when the text names no key.
struct TDriverKey {
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    QString text; // the character typed, for letters and Space
};
std::optional<TDriverKey> ParseDriverKey(const QString& text);

// One line cut into its verb (lower-cased) and the rest.
struct TDriverLine {
    QString verb;
    QString argument;
};
std::optional<TDriverLine> ParseDriverLine(const QString& line);

// A place the mouse goes to: an object's name, and with "NAME@X,Y" a point
// relative to the object's top-left corner.
struct TDriverSpot {
    QString name;
    std::optional<QPoint> point;
};
std::optional<TDriverSpot> ParseDriverSpot(const QString& text);

// "release", "release SPOT" or "release DX DY": where a held button comes
// up (where it went down, another spot, or an offset from the press).
struct TDriverRelease {
    std::optional<TDriverSpot> to;
    QPoint offset; // when there is no `to`
};
std::optional<TDriverRelease> ParseDriverRelease(const QString& text);

// "drag SPOT SPOT" or "drag SPOT DX DY": where the button goes down and
// where it comes up.
struct TDriverDrag {
    TDriverSpot from;
    std::optional<TDriverSpot> to;
    QPoint offset; // when there is no `to`
};
std::optional<TDriverDrag> ParseDriverDrag(const QString& text);

// The "answer" lines at the top of a script, before any other verb: their
// answers are queued before the publication starts, for the dialogs of the
// start-up (the start password). Returns the answers; `lines` keeps the rest.
QStringList TakeLeadingAnswers(QStringList& lines);

class TDriver : public QObject {
    Q_OBJECT
public:
    // `errors` receives the complaints (unknown verb, no such object...).
    TDriver(TWorkForm& form, QStringList lines, std::function<void(const QString&)> errors);
    ~TDriver() override;

    // Begins with the first verb on the event loop.
    void Start();

private:
    void Next();
    // Runs one verb; returns the delay before the next one.
    int Perform(const TDriverLine& line);
    void Finish();
    void MouseOn(const QString& verb, const QString& spotText);
    // "waitfor NAME [MS]": the delay before the next look, or before the
    // next verb once NAME is shown or MS have passed (after a complaint).
    int WaitFor(const QString& argument);
    // An object of a custom window or of the shown page (hidden or not), or
    // a visible control of another open window (ProgressCancel); nullptr
    // when there is none.
    QWidget* FindShownSpot(const QString& name);
    void Drag(const QString& argument);
    void Press(const QString& spotText);
    void Release(const QString& argument);
    // The widget a spot's press reaches, with the point in it and on the
    // screen; nothing (after a complaint) when the object is not shown.
    struct TAim {
        QWidget* widget = nullptr;
        QPointF local, global;
    };
    std::optional<TAim> Aim(const TDriverSpot& spot);
    std::optional<TAim> AimAtObject(const TDriverSpot& spot);
    // "popup@X,Y": that point of the pop-up that waits (its centre without a point).
    std::optional<TAim> AimAtPopUp(const TDriverSpot& spot);
    void ResumeWhilePopUpWaits();
    void HoverOnto(QWidget* target, const TAim& aim);
    // The left button goes down on the aimed widget, which keeps the mouse
    // until the release, as the window system's grab does.
    void PressOn(const TAim& aim);
    // The held button moves in steps to where `release` says and comes up.
    void ReleaseAt(const TDriverRelease& release);
    void PressKey(const QString& keyText);
    void TypeText(const QString& text);
    void WriteVariables(const QString& file);
    void Screenshot(const QString& file);
    void CloseFloatingWindow(const QString& name);
    void WindowShot(const QString& argument);
    // The open-media list, one item a line (TOpenMediaList::Describe).
    void WriteOpenMedia(const QString& file);
    void Complain(const QString& text);

    TWorkForm& form_;
    QStringList lines_;
    int position_ = 0;
    bool finished_ = false;
    std::function<void(const QString&)> errors_;
    QPointer<QWidget> hovered_; // where the last hover left the pointer
    QPointer<QWidget> pressed_; // what holds the mouse between press and release
    QPointF pressedAt_;         // where the button went down, on the screen
    bool buttonDown_ = false;
    int performing_ = 0; // verbs under way (a pop-up may hold one)
    int chain_ = 0;      // moves on each time a pop-up resumes the script
    bool heldNext_ = false; // the next verb waits for a verb still running
    std::optional<QDeadlineTimer> waitingUntil_; // while a waitfor looks again
};

} // namespace tomeric
