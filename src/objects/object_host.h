#pragma once
// What a page object needs from the player around it: running its scripts,
// the cursors, the pictures and files of the publication, and a few facts
// about the player's state. The main window implements it; tests replace it
// with a recording double. One host serves every object of a publication.

#include <QCursor>
#include <QImage>
#include <QString>

#include <cstdint>

namespace tomeric {

// Cursor slots objects choose from.
enum TCursorSlot : int {
    csHotSpot = 1,     // objects that react to a click
    csApplication = 2, // inert objects
    csDrag = 3,        // draggable objects without a click action
};

class ObjectHost {
public:
    virtual ~ObjectHost() = default;

    // Runs an object's script to its end now. `kind` is the event kind
    // (TObjectEventKind), `flags` the evaluator's run flags; the object's
    // name becomes [Self].
    virtual void RunObjectScript(const QString& text, int kind, std::uint8_t flags,
                                 int objType, const QString& objectName) = 0;

    // True while the player starts up (until the first page is shown) and
    // once closing has begun: enter and exit actions are not run then.
    virtual bool EnterExitSuppressed() const = 0;
    // True once the publication is loaded and until closing begins.
    virtual bool Running() const = 0;
    // SHOWMARQUEE=: keyboard navigation between buttons.
    virtual bool ShowMarquee() const = 0;

    virtual QCursor Cursor(TCursorSlot slot) const = 0;

    // A picture the publication names (an included file, a short name of
    // one, or a file on disk), with its alpha channel when it has one; null
    // when it cannot be read.
    virtual QImage Picture(const QString& name) = 0;
    // A file the publication names, as a path on disk (included files are
    // extracted first); the name itself when it is not included.
    virtual QString ResolveFile(const QString& name) = 0;
    // LINKCOLOR=: the colour of hot text in texts and articles, known
    // before their text is first rendered.
    virtual std::int32_t LinkColor() const { return 0x00FF0000; } // blue

    // The publication has a subroutine of that name (a ":name" label of
    // its subroutine text), which `GoSub "name"` would run.
    virtual bool HasSubroutine(const QString& name) const { (void)name; return false; }

    // One more step of work done while the publication loads (a linked
    // article handing its overflow to the next frame): the splash screen's
    // progress bar advances by one. Nothing happens once loading is over.
    virtual void AdvanceLoadingProgress() {}
};

} // namespace tomeric
