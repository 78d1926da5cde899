#pragma once
// Articles: formatted text loaded from a file of the publication (an
// included file or one on disk). TBaseArticle loads, shows and searches the
// text; TTomericArticle (type 2) is the scrolling article;
// TTomericLinkedArticle (type 24, linked_article.h) a frame of a chain.
//
// A ".TXT" file holds caret markup (converted to RTF); any other file is
// read in its own format (RTF, HTML, plain text). The text shows 4 pixels
// from the left edge, on the fill colour (or over the page when there is no
// fill), in the object's font colour unless the text has its own colours.
// "[...]" groups become fields that show the variables' current values and
// follow them. Hot text sets [HyperlinkClickedText] and either jumps to a
// bookmark (":name") or runs its command as the object's link script.

#include "objects/rich_text_view.h"
#include "objects/text_content.h"
#include "objects/tomeric_obj.h"
#include "objects/find_searchable.h"

#include <QTextCursor>
#include <QTextDocument>

#include <memory>
#include <optional>

namespace tomeric {

class TBaseArticle : public TTomericObj, public TFindSearchable {
    Q_OBJECT
public:
    TBaseArticle(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
    ~TBaseArticle() override;

    // FILENAME=: the text file ("[...]" substituted when it loads).
    const QString& TextFile() const { return textFile_; }
    // Stores the name and reloads.
    virtual void SetTextFile(const QString& name);
    // Loads the text file again; the view keeps its scroll position unless
    // `resetScroll`. A missing or unreadable file leaves the article empty.
    virtual void Reload(bool resetScroll);
    // ArticleJumpTo and ":" links: scrolls so that the bookmark (any case) is
    // at the top. False, and nothing moves, when there is no such bookmark.
    virtual bool JumpTo(const QString& bookmark);

    // ALLOWCOPY=: selection and the copy menu.
    bool AllowCopy() const { return allowCopy_; }
    void SetAllowCopy(bool value);
    // OVERRIDEFONT=: the object's font over the whole loaded text.
    bool OverrideFont() const { return overrideFont_; }
    void SetOverrideFont(bool value);

    // GetObjectInfo "SelectedText": the selection without link commands and
    // protected text; empty when nothing is selected.
    QString SelectedText() const;

    // Search hook of the Find window: `text` at or after document position
    // `from`, ignoring case; link commands searched too when asked (a match
    // in a command gives the link's visible text). Nothing when absent.
    virtual std::optional<QTextCursor> FindText(const QString& text, int from,
                                                bool includeLinkCommands) const;
    // Shows a found text: selected and scrolled to the top.
    virtual void ShowFound(const QTextCursor& found);

    // The Find window: `text` ignoring case, "*" any run of characters, in
    // the text shown; the match is shown selected at the top.
    std::optional<TFindMatch> FindText(const QString& text, int from) const override;
    void ShowFindMatch(const TFindMatch& match) override;
    QStringList LinkActions() const override;

    // The document shown and the view that shows it.
    const QTextDocument& Document() const { return *document_; }
    TRichTextView& View() const { return *view_; }

    // ---- object commands ----------------------------------------------------
    // "FILENAME": the text file; "SELECTEDTEXT": the selection.
    std::optional<QString> FamilyInfo(const QString& upperInfo) const override;
    // The new text file, loaded.
    bool SetObjectFileName(const QString& file) override;
    // The font goes over the whole text (OverrideFont is set) and the text
    // reloads.
    void SetObjectFont(const TFontChange& change) override;
    // Reloads the text file.
    void RefreshObject() override { Reload(false); }

    // ---- object messages ----------------------------------------------------
    void OnInit() override;
    void OnVarChanged(const QString& upperName, const QString& value) override;
    bool HearsVariable(const QString& upperName) const override;

protected:
    // The look a load starts from: the object's font and colours.
    TTextLook Look(bool wordWrap) const;
    // Reads the text file (or, without one, the stored text) into
    // `document`, with the font override and the variable fields.
    void LoadText(QTextDocument& document, bool wordWrap);
    // Changes the file name without loading it.
    void StoreTextFile(const QString& name) { textFile_ = name; }
    // Puts `document` in the view (owned by the article).
    void Show(std::unique_ptr<QTextDocument> document);
    // The document the view shows, for the families.
    QTextDocument& MutableDocument() { return *document_; }
    // A click on hot text at `position` of the shown document.
    virtual void LinkClicked(int position);
    void PlaceView();

    void FontChanged() override;
    void LineChanged() override { PlaceView(); }
    // Mouse events aimed at the article itself (a driver, a hot key) go to
    // its text.
    void mousePressEvent(QMouseEvent* event) override { ForwardToView(event); }
    void mouseReleaseEvent(QMouseEvent* event) override { ForwardToView(event); }
    void mouseMoveEvent(QMouseEvent* event) override { ForwardToView(event); }
    void resizeEvent(QResizeEvent* event) override;

    TRichTextView* view_;
    bool wordWrap_ = true;

private:
    void ForwardToView(QMouseEvent* event);

    std::unique_ptr<QTextDocument> document_;
    bool forwarding_ = false;
    QString textFile_;
    bool allowCopy_ = false;
    bool overrideFont_ = false;
    std::int32_t linkColor_; // the host's LINKCOLOR
};

// The scrolling article (type 2): SCROLLBAR= gives both scroll bars (as
// needed) or none, WORDWRAP= breaks lines at the width (caret markup then
// joins lines into paragraphs). Up and Down scroll by a line.
class TTomericArticle : public TBaseArticle {
    Q_OBJECT
public:
    TTomericArticle(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    bool ScrollBars() const { return scrollBars_; }
    void SetScrollBars(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);

    // FocusObject: the text takes the keyboard focus.
    QWidget* FocusTarget() override { return view_; }

private:
    bool scrollBars_ = true;
};

TTomericObj* CreateArticle(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
