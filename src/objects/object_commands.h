#pragma once
// TObjectCommands: the object commands of the action language (ShowObject,
// MoveObject, GetObjectInfo, SetObjectFill, ListBoxAddItem, TimerStart ...),
// carried out on the main thread on the page objects found by name.
//
// Commands arrive as ServiceCalls from the command table; one table
// (object_command_table.cpp) maps each command to its handler. An object is
// looked up by name ignoring case: first in the roots that are on screen
// (floating windows, the current page, the master page while it is shown),
// then on the other pages in page order. A name that matches nothing sets
// [LastError] to the quoted name, "||" and "Cet objet n'existe pas."; every
// refusal goes through [LastError], never a message box.
//
// The player says where objects live through TObjectWorld; tests give their
// own pages. MoveObjectAlongPath starts a TTomericObjMover (object_mover.h)
// kept in this service's mover list.

#include "actions/services.h"
#include "objects/object_mover.h"
#include "objects/tomeric_obj.h"

#include <QImage>
#include <QPoint>
#include <QRect>

#include <functional>
#include <optional>
#include <vector>

namespace tomeric {

// One place objects are searched in.
struct TObjectRoot {
    QWidget* root = nullptr; // a page background or a floating window's client area
    int pageIndex = -1;      // the page it belongs to; -1 for a floating window
    bool onScreen = false;   // floating window, current page, master page while shown
    bool floating = false;
};

// Plays a show/hide effect: `before` turns into `after` over `area` (in
// `surface` coordinates), returning when the effect has ended.
using TObjectEffectPlayer = std::function<void(QWidget& surface, const QRect& area, const QImage& before,
                                               const QImage& after, const QString& effect,
                                               const QString& speed)>;

struct TObjectWorld {
    // Searched first, in order: the open floating windows (none until they
    // exist), the current page, the master page while the current page shows it.
    std::function<std::vector<TObjectRoot>()> shownRoots;
    // Searched next: every other page, in page order, that holds or may hold
    // an object of that name (pages may be created).
    std::function<std::vector<TObjectRoot>(const QString& name)> otherRoots;
    // Brings page `pageIndex` up (ArticleJumpTo on another page).
    std::function<void(int pageIndex)> bringUpPage;
    // Null: effects run on screen over the page (MakeOnScreenEffectPlayer).
    TObjectEffectPlayer effectPlayer;
    // Show/hide effects end at once (driven and fast runs).
    bool fastEffects = false;
};

// Where a lookup found an object.
struct TFoundObject {
    TTomericObj* object = nullptr;
    TObjectRoot where;
};

// The effects drawn over the page in an overlay while the event loop keeps
// painting (user input is held back until the effect ends).
TObjectEffectPlayer MakeOnScreenEffectPlayer();

class TObjectCommands final : public CommandService {
public:
    explicit TObjectCommands(TObjectWorld world);
    ~TObjectCommands() override;
    TObjectCommands(const TObjectCommands&) = delete;
    TObjectCommands& operator=(const TObjectCommands&) = delete;

    // True for every command this service carries out (any case).
    static bool Handles(const QString& command);

    // CommandService: unknown commands come back with an empty reply.
    ServiceReply Perform(const ServiceCall& call) override;

    // The object of that name (any case), with where it was found.
    std::optional<TFoundObject> FindObject(const QString& name) const;

    // ---- operations the commands share (main thread) --------------------------
    // ShowObject / HideObject: `effect` empty or fast → plain redraw.
    void ShowHide(const TFoundObject& found, bool visible, const QString& effect, const QString& speed);
    // MoveObject: (x, y) as the script gives them (the publication area's
    // origin is added at page level; a line's window sits LineWidth up-left).
    void MoveObject(const TFoundObject& found, int x, int y);
    // SizeObject: keeps the top-left corner; lines re-fit their end points.
    void SizeObject(const TFoundObject& found, int width, int height);
    // Places the object's window at `topLeft` (parent coordinates) and
    // repaints the union of the old and new rectangles in one pass.
    void PlaceObject(TTomericObj& object, QPoint topLeft);
    // Re-shows a visible on-screen object without effect (after a restyle).
    void Reshow(const TFoundObject& found);

    // ---- movement ---------------------------------------------------------------
    TMoverList& Movers() { return movers_; }
    // Page changes and closing stop every mover.
    void StopAllMovers() { movers_.StopAll(); }

    const TObjectWorld& World() const { return world_; }

private:
    // The outermost page background above `object` (where it is drawn).
    static QWidget* Surface(const TTomericObj& object);
    static QRect RectOnSurface(const TTomericObj& object, const QWidget& surface);
    void RepaintAfterChange(const TFoundObject& found, const QRect& area);

    TObjectWorld world_;
    TMoverList movers_;
};

// GetObjectInfo's answer for an information name (any case): the family's
// when it has one, else the common one; nothing for a name that is none.
std::optional<QString> ObjectInfo(const TTomericObj& object, const QString& info);

// The colour of a command parameter: a colour name without its "cl" prefix
// when the text starts with a letter (Red, Navy, BtnFace ...), otherwise
// "red,green,blue" in decimal; nothing when the text is neither.
std::optional<std::int32_t> ParseCommandColour(const QString& text);
// FONTSTYLE= bits of the words BOLD, ITALIC, UNDERLINE, STRIKEOUT found
// anywhere in the text (any case).
int ParseFontStyleWords(const QString& text);
// A character-set identifier (ANSI_CHARSET ...) or number; 1 otherwise.
int ParseCharset(const QString& text);

} // namespace tomeric
