#pragma once
// Buttons: the push button (type 3), the check box (12) and the radio
// button (13), on one base, TTomericButton.
//
// The base owns the press-and-release state machine, the hot look, the
// keyboard (marquee focus, Enter and Space, hot keys as a simulated press),
// the click, the caption and its variables, and the check box / radio
// button binding to a variable (VARNAME=). The push button adds images,
// bevels and the right click.
//
// Every button paints through one scaled operation, PaintScaled: the screen
// calls it with factor 1 over the client area, printing with the printer's
// factors over a target rectangle (font heights, bevels, gaps and box sizes
// multiplied and rounded, no theme).
//
// Variables: a check box writes "Checked" or nothing into its variable, a
// radio button its caption as shown; both follow the variable when a script
// sets it (OnVarChanged). Radio buttons sharing a variable form a group:
// setting the variable checks the one whose caption matches and clears the
// others.

#include "objects/first_values.h"
#include "objects/tomeric_obj.h"

#include <QImage>
#include <QTimer>

#include <functional>

namespace tomeric {

enum TTomericBtnStyles : int { bsStandard, bsStandardBknd, bsToggle, bsRadio };

// VisualState: up, down (pressed or checked), hot or half-pressed.
enum TButtonVisual : int { bvUp = 0, bvDown = 1, bvHot = 2 };

// ALIGN= values.
enum TButtonAlignment : int { baLeft = 1, baCentre = 2, baRight = 4 };

// How a paint is scaled: factor 1 on screen; the printer's factors when a
// page is printed. Lengths are multiplied and rounded.
struct TButtonScale {
    double x = 1.0;
    double y = 1.0;
    bool printing = false; // onto a printer or a PDF: no theme, as when scaled
    bool Scaled() const { return x != 1.0 || y != 1.0; }
    int X(double length) const { return qRound(length * x); }
    int Y(double length) const { return qRound(length * y); }
};

class TTomericButton : public TTomericObj {
    Q_OBJECT
public:
    TTomericButton(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
    ~TTomericButton() override;

    // ---- state ----------------------------------------------------------------
    int VisualState() const { return visualState_; }
    // The left button (or a simulated press) went down here and is not
    // released yet.
    bool Tracking() const { return tracking_; }
    virtual TTomericBtnStyles ButtonStyle() const = 0;

    // ---- properties (setters do nothing when unchanged) --------------------------
    bool UseXPTheme() const { return useXPTheme_; }
    virtual void SetUseXPTheme(bool value);
    // True when the button draws through the platform style (XPTHEME=Yes).
    bool Themed() const { return useXPTheme_; }
    int Alignment() const { return alignment_; }
    // 1 left, 2 centre, 4 right; other values are ignored.
    void SetAlignment(int value);
    const QString& ClickAction() const { return clickAction_; }
    void SetClickAction(const QString& text) { clickAction_ = text; }
    // Stand-alone buttons (tool bars of other objects) call `handler` on a
    // click instead of running their click action.
    bool StandAlone() const { return bool(standAloneHandler_); }
    void SetStandAlone(std::function<void()> handler);

    // Check boxes and radio buttons: the bound variable ("[Opt]"), the state
    // at start (qxbsUp, qxbsDown, qxbsGrayed) and auto-sizing.
    const QString& VarName() const { return varName_; }
    int InitialState() const { return initialState_; }
    bool AutoSize() const { return autoSize_; }

    // ---- actions ------------------------------------------------------------------
    // The click: a stand-alone button calls its handler, others post their
    // click action (kind 1). Check boxes and radio buttons first write their
    // variable.
    virtual void DoClick();
    // A press that releases itself after `milliseconds` inside the button:
    // hot keys (150 ms), Enter and Space on a focused button (100 ms).
    // Ignored while disabled or already pressed.
    void SimulatePress(int milliseconds);
    void HotKeyPressed() override;

    // ---- drawing ---------------------------------------------------------------------
    // Paints the button into `painter` over `target` with `scale`. A scaled
    // paint never uses the theme.
    void PaintScaled(QPainter& painter, const QRect& target, const TButtonScale& scale);

    // ---- object messages and commands --------------------------------------------
    void OnInit() override;
    void OnTabStops() override;
    void OnVarChanged(const QString& upperName, const QString& value) override;
    bool SetObjectCaption(const QString& text) override;
    // "CAPTION": the caption as stored, variables not substituted.
    std::optional<QString> FamilyInfo(const QString& upperInfo) const override;

protected:
    // ---- the press state machine ----------------------------------------------------
    void BeginPress();
    void MovePress(bool inside);
    void EndPress(bool inside);
    // The look while pressed inside: 1 for the standard styles, 2 for
    // toggles and radio buttons.
    int PressedLook() const;
    // The state after a release (inside or not).
    int ReleasedState(bool inside) const;
    void SetVisualState(int state);

    // ---- painting ------------------------------------------------------------------------
    virtual void PaintButton(QPainter& painter, const QRect& target, const TButtonScale& scale) = 0;
    void PaintContent(QPainter& painter) override;
    // Themed drawing applies: XPTHEME= asks for it and the paint is not scaled.
    bool ThemedFor(const TButtonScale& scale) const { return Themed() && !scale.Scaled() && !scale.printing; }
    // The object's font with its height multiplied by the vertical factor.
    QFont ScaledFont(const TButtonScale& scale) const;
    QColor TextColour() const;
    // The caption ready for drawing: variables substituted, "^" the
    // accelerator, "&" literal; CR LF as one line break.
    QString DisplayCaption() const;
    // The size the caption takes in `font` (no wrapping; one empty line
    // for an empty caption is not counted).
    static QSize CaptionSize(const QFont& font, const QString& caption);
    void DrawCaption(QPainter& painter, const QRect& area, int alignFlags, const QString& caption,
                     const QFont& font, bool embossed) const;
    // The black dotted focus rectangle of the marquee.
    static void DrawFocusFrame(QPainter& painter, const QRect& area);
    // The marquee is on and this enabled button has the keyboard focus.
    bool ShowsFocus() const;

    // ---- check box and radio button shared parts ---------------------------------
    // Lays out the 13×13 box and the caption, draws both.
    void PaintBoxAndCaption(QPainter& painter, const QRect& target, const TButtonScale& scale);
    // The check or radio glyph in `box`.
    void DrawBoxGlyph(QPainter& painter, const QRect& box, const TButtonScale& scale);
    // AUTOSIZE=: the size of the box and caption, +3 on each side.
    void ApplyAutoSize();
    // The variable key of VarName in brackets and upper case ("[OPT]"), as
    // change notices name it.
    QString BoundVariable() const;

    // Hooks for the families.
    virtual void CaptionChanged() {}
    virtual void HoverChanged() {}
    void TextChanged() override;
    void FontChanged() override { CaptionChanged(); }

    // ---- Qt events ---------------------------------------------------------------------------
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

    QString varName_;
    int initialState_ = qxbsUp;
    bool autoSize_ = false;

private:
    enum class TPressSource { None, Mouse, Simulated };

    void FinishSimulatedPress();

    int visualState_ = bvUp;
    bool tracking_ = false;
    TPressSource pressSource_ = TPressSource::None;
    int pressState_ = bvUp;
    bool useXPTheme_ = false;
    int alignment_ = baCentre;
    QString clickAction_;
    std::function<void()> standAloneHandler_;
    QTimer releaseTimer_;
};

class TTomericPushBtn : public TTomericButton {
    Q_OBJECT
public:
    TTomericPushBtn(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    TTomericBtnStyles ButtonStyle() const override;
    // Transparent (the page shows through) or drawn themed.
    bool GetIsTransparent() const override;

    // ---- properties --------------------------------------------------------------
    const QString& RClickAction() const { return rClickAction_; }
    void SetRClickAction(const QString& text) { rClickAction_ = text; }
    int ImageStyle() const { return imageStyle_; }
    // qxbsNone, qxbsLibrary, qxbsIndividual; other values are ignored.
    void SetImageStyle(int value);
    const QString& UpImage() const { return upImage_.file; }
    const QString& DownImage() const { return downImage_.file; }
    const QString& OverImage() const { return overImage_.file; }
    const QString& LibImage() const { return libImage_.file; }
    void SetUpImage(const QString& file, std::int32_t transparentColour = kNoTransparentColour);
    void SetDownImage(const QString& file, std::int32_t transparentColour = kNoTransparentColour);
    void SetOverImage(const QString& file, std::int32_t transparentColour = kNoTransparentColour);
    void SetLibImage(const QString& file);
    bool OverlayText() const { return overlayText_; }
    void SetOverlayText(bool value);
    bool DepressEffect() const { return depressEffect_; }
    void SetDepressEffect(bool value);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);
    // A hover look exists: a library strip, an over image, or the theme.
    bool HasHoverLook() const;

    // ---- object commands --------------------------------------------------------
    // SetObjectFileName: the strip in library style, the up image in
    // individual style; false (nothing changes) without an image style.
    bool SetObjectFileName(const QString& file) override;
    // "FILENAME": the strip in library style, else the up image.
    std::optional<QString> FamilyInfo(const QString& upperInfo) const override;
    // Reloads the images and redraws.
    void RefreshObject() override;

protected:
    void PaintButton(QPainter& painter, const QRect& target, const TButtonScale& scale) override;
    void HoverChanged() override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct TImageSlot {
        QString file;
        std::int32_t transparentColour = kNoTransparentColour;
        QImage image; // with the transparent colour made transparent; null when unreadable
    };
    // The picture and the part of it to show for the current state; a null
    // image when the button shows its caption only.
    struct TImagePick {
        QImage image;
        QRect source;
    };

    void LoadImage(TImageSlot& slot);
    void ReloadImages();
    TImagePick PickImage() const;
    // Frame and bevel; returns the content shift of a pressed button.
    int PaintFrame(QPainter& painter, const QRect& target, const TButtonScale& scale, bool themed);
    void PaintFace(QPainter& painter, const QRect& content, const QRect& target,
                   const TButtonScale& scale, bool themed);

    QString rClickAction_;
    int imageStyle_ = qxbsNone;
    TImageSlot upImage_, downImage_, overImage_, libImage_;
    bool overlayText_ = false;
    bool depressEffect_ = true;
    int bevelWidth_ = 2;
};

class TTomericCheckBox : public TTomericButton {
    Q_OBJECT
public:
    TTomericCheckBox(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    TTomericBtnStyles ButtonStyle() const override { return bsToggle; }
    bool Checked() const { return VisualState() == bvDown; }

    // OM_INIT: the initial state; a check box starting checked writes
    // "Checked" into its variable.
    void OnInit() override;
    void OnLateInit() override;
    // What OM_INIT writes into the check box's variable.
    static TFirstWrite FirstWrite(const TCheckBoxProps& props);
    // Its variable: checked when the part before the first "+" is a true
    // word ("True", "Checked", "Yes" ...).
    void OnVarChanged(const QString& upperName, const QString& value) override;
    bool HearsVariable(const QString& upperName) const override;
    // Writes "Checked" or nothing into the variable, then posts the click action.
    void DoClick() override;

protected:
    void PaintButton(QPainter& painter, const QRect& target, const TButtonScale& scale) override;
    void CaptionChanged() override { ApplyAutoSize(); }
    void HoverChanged() override;
};

class TTomericRadioBtn : public TTomericButton {
    Q_OBJECT
public:
    TTomericRadioBtn(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    TTomericBtnStyles ButtonStyle() const override { return bsRadio; }
    bool Checked() const { return VisualState() == bvDown; }
    // The value this button writes into its variable: the caption as shown
    // (variables substituted, the "^" accelerator marks dropped).
    QString GroupValue() const;
    // True when `value` names this button: its group value, or its caption
    // prepared for display ("&" doubled, "^" as "&"), ignoring case.
    bool MatchesValue(const QString& value) const;

    // OM_INIT: the initial state; a radio button starting checked writes its
    // value into the variable.
    void OnInit() override;
    void OnLateInit() override;
    // The value a button with caption `text` writes into its variable.
    static QString GroupValueOf(const QString& text);
    // What OM_INIT writes into the radio button's variable.
    static TFirstWrite FirstWrite(const TCheckBoxProps& props);
    // Its variable: checked exactly when the value names it. A variable in
    // the caption: a checked button writes its new value.
    void OnVarChanged(const QString& upperName, const QString& value) override;
    bool HearsVariable(const QString& upperName) const override;
    // A checked button writes its value (clearing the rest of its group),
    // then posts the click action.
    void DoClick() override;

protected:
    void PaintButton(QPainter& painter, const QRect& target, const TButtonScale& scale) override;
    void CaptionChanged() override { ApplyAutoSize(); }
    void HoverChanged() override;

private:
    // Radio buttons without a variable form a group with their siblings
    // that have none either: checking one clears the others.
    void ClearUnboundSiblings();
    bool writingValue_ = false;
};

TTomericObj* CreatePushButton(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
TTomericObj* CreateCheckBox(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
TTomericObj* CreateRadioButton(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
