#pragma once
// TTomericText (type 8): formatted text on the page. Its text (TEXT=, RTF
// or plain) is drawn straight onto the object over its fill, inset by the
// border and the margins (HMARGIN=, VMARGIN=), word-wrapped unless WORDWRAP=
// says otherwise; with no fill the page shows through between the letters.
// Every "[...]" group shows a variable's current value and follows it. Hot
// text runs its command when clicked; elsewhere a press starts a drag when
// the object is draggable.

#include "objects/drag_object.h"
#include "objects/find_searchable.h"

#include <QTextCursor>
#include <QTextDocument>

#include <memory>
#include <optional>

namespace tomeric {

// Texts can be dragged and dropped (DRAGMODE=, DROPACTION=, DROPTARGET=).
using TTextObjectBase = TTomericDragObj;

class TTomericText : public TTextObjectBase, public TFindSearchable {
    Q_OBJECT
public:
    TTomericText(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
    ~TTomericText() override;

    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    int HorzMargin() const { return horzMargin_; }
    int VertMargin() const { return vertMargin_; }
    void SetMargins(int horizontal, int vertical);

    // Rebuilds the display from Txt with the current font and variables.
    void Rerender();
    // The document shown (for tests and printing).
    const QTextDocument& Document() const { return *document_; }
    // Where the text is drawn inside the object.
    QRect TextRect() const;

    // Search hook of the Find window: `text` at or after document position
    // `from`, ignoring case; link commands searched too when asked.
    std::optional<QTextCursor> FindText(const QString& text, int from, bool includeLinkCommands) const;
    // The Find window: `text` ignoring case, "*" any run of characters.
    std::optional<TFindMatch> FindText(const QString& text, int from) const override;
    // A text object has no selection: the Find window flashes the object.
    void ShowFindMatch(const TFindMatch& match) override { (void)match; }
    QStringList LinkActions() const override;
    // Text objects have no selection: always empty.
    QString SelectedText() const { return QString(); }

    // ---- object commands ----------------------------------------------------
    // "CAPTION": the text as stored (variables not substituted).
    std::optional<QString> FamilyInfo(const QString& upperInfo) const override;
    // The new text, re-rendered.
    bool SetObjectCaption(const QString& text) override;
    // The font applies over the whole text (with its style when a style is
    // given) from now on.
    void SetObjectFont(const TFontChange& change) override;
    // Re-render with the current variables.
    void RefreshObject() override { Rerender(); }

    // ---- object messages ----------------------------------------------------
    void OnInit() override;
    void OnVarChanged(const QString& upperName, const QString& value) override;
    bool HearsVariable(const QString& upperName) const override;

protected:
    void PaintContent(QPainter& painter) override;
    void TextChanged() override { Rerender(); }
    void FontChanged() override { Rerender(); }
    void LineChanged() override { Relayout(); }
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Relayout();
    std::optional<int> LinkPositionAt(QPoint point) const;

    std::unique_ptr<QTextDocument> document_;
    bool wordWrap_ = true;
    bool hasFields_ = false; // the text shows at least one [Variable]
    int horzMargin_ = 0;
    int vertMargin_ = 0;
    std::int32_t linkColor_; // the host's LINKCOLOR
    // Set by SetObjectFont: the object's font covers the whole text.
    bool fontOverride_ = false;
    bool styleOverride_ = false;
    std::optional<int> pressedLink_;
    bool overLink_ = false;
};

TTomericObj* CreateText(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
