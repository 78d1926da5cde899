#pragma once
// TTomericObj: the base of every page object. It owns what all objects
// share: the line and fill properties and their drawing, visibility and
// enabled state, the name and type code, the caption text, the hint, the
// cursor, how an object runs its scripts, and the object messages through
// which the main window, the pages and the variable store talk to objects.
//
// Objects are child widgets of a page background (TTomericBackground) or of
// a group or container. They never erase their background: a transparent
// object simply leaves the pixels of what lies beneath, which Qt has painted
// already, so the page and the objects below show through.
//
// The object messages are virtual functions (On...) called in the order the
// player sends them; groups and containers pass each one on to their members.
// Family classes (buttons, shapes, texts ...) override what they react to.

#include "objects/object_host.h"
#include "publication/object_model.h"

#include <QBrush>
#include <QFont>
#include <QPen>
#include <QPixmapCache>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>

namespace tomeric {

// Event kinds handed to the evaluator with an object's script.
enum TObjectEventKind : int {
    ekClick = 1, ekRightClick = 2, ekEnter = 3, ekExit = 4, ekContainerResized = 5,
    ekEditChanged = 6, ekMediaDone = 7, ekBrowserBeforeNavigate = 8, ekBrowserNavigated = 9,
    ekDownloadBegin = 10, ekDownloadComplete = 11, ekLinkClicked = 12, ekTimerTick = 13,
    ekMediaStarted = 14, ekMediaCancelled = 15, ekMovieLoaded = 16, ekTrackBarChanged = 17,
    ekSelectionChanged = 18, ekFlashCommand = 19, ekBrowserActionLink = 20, ekDropped = 21,
    ekTrackBarMoving = 22, ekListDoubleClick = 25,
};

// The object messages by their original numbers (for logs and the driver).
enum TObjectMessage : int {
    OM_INIT = 0x4C8, OM_TIMERS = 0x4C9, OM_VARCHANGED = 0x4CA, OM_PAGEHIDE = 0x4CB,
    OM_PAGESHOW = 0x4CC, OM_PAGEPAINT = 0x4CD, OM_TABSTOPS = 0x4CE, OM_PAINTTRANSPARENT = 0x4D1,
    OM_RUNACTION = 0x4D2, OM_REALIGN = 0x4D4,
};

// A font change asked by SetObjectFont: only the parts that are set apply.
struct TFontChange {
    std::optional<std::int32_t> color;
    std::optional<QString> name;
    std::optional<int> size;      // points, at least 1
    std::optional<int> style;     // FONTSTYLE= bits
    std::optional<int> charset;
};

class TTomericObj : public QWidget {
    Q_OBJECT
public:
    // `record` gives the common properties; the family constructor reads
    // its own from record.As<...>(). The host must outlive the object.
    TTomericObj(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
    ~TTomericObj() override;

    // ---- identity -----------------------------------------------------------
    int ObjType() const { return objType_; }
    const QString& Name() const { return name_; }
    ObjectHost& Host() const { return *host_; }

    // ---- common properties (every setter does nothing when unchanged) --------
    int LineWidth() const { return lineWidth_; }
    std::int32_t LineColor() const { return lineColor_; }
    int LineStyle() const { return lineStyle_; }
    std::int32_t FillColor() const { return fillColor_; }
    int FillPattern() const { return fillPattern_; }
    bool Transparent() const { return transparent_; }
    bool VisibleState() const { return visibleState_; }
    bool EnabledState() const { return enabledState_; }
    const QString& Txt() const { return txt_; }

    virtual void SetEnabledState(bool value);
    virtual void SetLineWidth(int value);
    virtual void SetFillPattern(int value);
    virtual void SetTransparent(bool value);
    void SetVisibleState(bool value);
    void SetLineColor(std::int32_t value);
    void SetLineStyle(int value); // out of 0..7: ignored
    void SetFillColor(std::int32_t value);
    // The caption or text; families that show it override TextChanged.
    void SetTxt(const QString& value);

    // True when the page behind shows through: FillPattern 1, or a hatch
    // drawn without its background; classes that are always transparent fix it.
    virtual bool GetIsTransparent() const { return isTransparent_; }

    // ---- scripts ------------------------------------------------------------
    // Runs `text` for event `kind`: at once with afImmediate in `flags`,
    // otherwise posted to this object and run when the event loop comes back
    // (a click's script runs after the mouse handling has finished). Nothing
    // for an empty text; a posted run is dropped when the object is gone.
    void RunObjectAction(const QString& text, int kind, std::uint8_t flags);

    // ---- object messages ------------------------------------------------------
    virtual void OnInit() {}
    // OM_INIT for an object whose page was created after start-up: the same
    // first state without the variable writes, which the player made from
    // the page's records when the publication started (first_values.h).
    virtual void OnLateInit() { OnInit(); }
    virtual void OnTimers(bool resume) { (void)resume; }
    // `upperName` is the bracketed name in upper case ("[SCORE]").
    virtual void OnVarChanged(const QString& upperName, const QString& value);
    // False when OnVarChanged would do nothing for the variable, for as long
    // as VariableInterestGeneration() stays the same: the window then skips
    // announcing its writes. Answering true is always safe.
    virtual bool HearsVariable(const QString& upperName) const;
    virtual void OnPageHide() {}
    virtual void OnPageShow() {}
    // `shown`: the page is now on screen; otherwise `area` (page coordinates)
    // was redrawn.
    virtual void OnPagePaint(bool shown, const QRect& area) { (void)shown; (void)area; }
    virtual void OnTabStops() {}
    virtual void OnRealign() {}

    // ---- drawing ------------------------------------------------------------
    // Paints the object and its visible children into `painter` at `offset`
    // (drag images, page snapshots, printing).
    virtual void PaintTo(QPainter& painter, QPoint offset);

    // The hint shown over the object; "[...]" is substituted when it shows.
    void SetHint(const QString& hint);
    const QString& Hint() const { return hint_; }
    // KEY=: the hot key as a Qt key sequence value (0: none).
    int HotKey() const { return hotKey_; }
    void SetHotKey(int key) { hotKey_ = key; }
    // What a hot key does to this object: buttons press, inputs take focus.
    virtual void HotKeyPressed() {}

    // ---- what the object commands ask of each family ------------------------
    // GetObjectInfo: the family's answer for an information name in upper
    // case ("FILENAME", "CAPTION", "SELECTEDTEXT", "LEFT" ...); nullopt
    // leaves it to the common answer (position, size, visibility, or empty).
    virtual std::optional<QString> FamilyInfo(const QString& upperInfo) const
    {
        (void)upperInfo;
        return std::nullopt;
    }
    // SetObjectCaption / SetObjectFileName: false when the family has no
    // caption or no file name (the command then reports it).
    virtual bool SetObjectCaption(const QString& text) { (void)text; return false; }
    virtual bool SetObjectFileName(const QString& file) { (void)file; return false; }
    // SetObjectFont: the parts given are set (see TFontChange).
    virtual void SetObjectFont(const TFontChange& change);
    // RefreshObject: reload or redraw, per family; the base redraws.
    virtual void RefreshObject() { LookChanged(); }
    // FocusObject: the widget that takes the keyboard focus; null when none.
    virtual QWidget* FocusTarget() { return focusPolicy() != Qt::NoFocus ? this : nullptr; }

    // Common caption preparation: variables substituted when "[" occurs,
    // "&" doubled, "^" made the accelerator mark.
    static QString PrepareCaption(const QString& text);

    // The font properties last set (FONT=, FONTSIZE=, FONTSTYLE=,
    // FONTCHARSET=, TEXTCOLOR= or SetObjectFont).
    const TFontProps& FontProps() const { return fontProps_; }
    // The cursor slot in use.
    TCursorSlot CursorSlot() const { return cursorSlot_; }
    // MouseInside: the pointer is over the object (enter ran, exit not yet).
    bool MouseInside() const { return mouseInside_; }
    bool TransparencyFixed() const { return transparencyFixed_; }
    // On screen for tab stops: shown within its page and its rectangle,
    // accumulated up to the page background, meets the background's area.
    bool OnScreen() const;
    // TABORDER= (-1: creation order) and ANCHOR= (TAnchor: docking inside a
    // container).
    int TabOrderIndex() const { return tabOrder_; }
    int Anchor() const { return anchor_; }
    void SetAnchor(int anchor) { anchor_ = anchor; }

protected:
    // Called after a property of the kind changed (the object is repainted).
    virtual void FillChanged() {}
    virtual void LineChanged() {}
    virtual void TextChanged() {}

    // Sets up pen and brush from the line and fill properties and calls
    // DrawShape; paintEvent calls it.
    void PaintShape(QPainter& painter);
    // The outline and fill over the client area; each shape overrides it.
    virtual void DrawShape(QPainter& painter);
    // Draws the family's content; the base draws only the shape.
    virtual void PaintContent(QPainter& painter) { PaintShape(painter); }

    // The brush of the fill properties: solid FillColor (pattern 0), none
    // (pattern 1), or the hatch tiled from the object's origin with white
    // behind it, or nothing behind it when Transparent.
    QBrush ShapeBrush() const;
    // The pen of the line properties for smooth shapes: LineColor, LineWidth,
    // the dash style only at width 1; Qt::NoPen at width 0, for qxpsClear,
    // and for the 3-D styles (drawn as frames).
    QPen ShapePen() const;
    // The rectangle a pen of LineWidth strokes so that the line lies inside
    // the client area (the inset pen).
    QRectF InsetPenRect() const;
    // Draws the raised or sunken frame of LineWidth pixels inside `area`.
    void DrawFrame3D(QPainter& painter, const QRect& area) const;
    // After SetObjectFont changed the font or text colour.
    virtual void FontChanged() {}

    // Whether the family's look depends on nothing but its properties and
    // size, so that it can be drawn once and kept for the next paints (the
    // curved shapes, whose anti-aliased outlines are slow to draw). Such a
    // family calls LookChanged, not update(), when what it draws changes.
    virtual bool KeepsLook() const { return false; }
    // What the object draws changed: a kept look is dropped and the object
    // repainted.
    void LookChanged();

    // Classes that are always transparent call this in their constructor.
    void FixTransparency(bool transparent);
    // Chooses the cursor slot: 1 with a click action, 3 when draggable, else 2.
    void UseCursorSlot(TCursorSlot slot);

    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

    // Scripts run on entering and leaving (OBJENTERACTION=, OBJEXITACTION=).
    QString enterAction_, exitAction_;

private:
    void RecomputeTransparency();
    // Paints the kept look (drawing it first when there is none); false
    // where a kept picture would not give the same pixels (printing, scaled
    // painters and screens), and the object then draws itself.
    bool PaintKeptLook(QPainter& painter);

    QPixmapCache::Key keptLook_;

    ObjectHost* host_;
    int objType_;
    QString name_;
    int lineWidth_ = 1;
    std::int32_t lineColor_ = 0;
    int lineStyle_ = qxpsSolid;
    std::int32_t fillColor_ = kColourButtonFace;
    int fillPattern_ = 0;
    bool visibleState_ = true;
    bool enabledState_ = true;
    bool isTransparent_ = false;
    bool transparent_ = false;
    bool mouseInside_ = false;
    bool transparencyFixed_ = false;
    QString txt_;
    QString hint_;
    int hotKey_ = 0;
    TFontProps fontProps_;
    TCursorSlot cursorSlot_ = csApplication;
    int tabOrder_ = -1;
    int anchor_ = anNone;
};

// Whether `text` mentions the variable `upperName` ("[SCORE]") in any case.
bool MentionsVariable(const QString& text, const QString& upperName);

// Counts the changes that can make an object hear a variable it did not:
// an object made, its caption or hint set, variable fields made in a
// document or a document handed to another object. The window remembers
// the variables no object hears only while this count stays the same.
std::uint64_t VariableInterestGeneration();
void NoteVariableInterestChanged();

} // namespace tomeric
