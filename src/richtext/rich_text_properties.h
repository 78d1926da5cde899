#pragma once
// What the rich-text engine keeps in a QTextDocument beyond what Qt shows:
// link commands, bookmarks, fields and variable fields. They live in the
// character formats (so they move with the text when it is edited) under the
// property ids below; the helpers query and update them.
//
// Links also set Qt's own anchor (QTextCharFormat::isAnchor, anchorHref =
// the command), so QAbstractTextDocumentLayout::anchorAt finds them; bookmarks also
// set the anchor names, so QTextEdit::scrollToAnchor reaches them.

#include <QString>
#include <QStringList>
#include <QTextFormat>

#include <functional>
#include <optional>

class QTextCursor;
class QTextDocument;

namespace tomeric {

// Property ids (QTextFormat::UserProperty range).
enum TRichTextProperty : int {
    // QString on every visible character of a link: the link's command (the
    // hidden text of a \uldb hot-text link, or a HYPERLINK field's target,
    // ":name" for a jump to bookmark "name").
    rtpLinkCommand = QTextFormat::UserProperty + 0x5400,
    // int TRichLinkKind on the same characters.
    rtpLinkKind,
    // int, unique per link in the document, so two adjacent links with the
    // same command stay two links.
    rtpLinkId,
    // QStringList on the first character at or after a bookmark's place: the
    // names of the bookmarks that start there.
    rtpBookmarks,
    // QString on a field's result characters: the field instruction as
    // written ("MERGEFIELD NAME", "DATE \@ ..."); empty for variable fields
    // made from "[...]" groups.
    rtpFieldInstruction,
    // QString on a variable field's characters: the variable's name in upper
    // case, without the outer brackets ("[Item[i]]" gives "ITEM[I]").
    rtpVariableName,
    // int, unique per field in the document (adjacent fields stay apart).
    rtpFieldId,
    // QString on a variable field's characters: the group as it was written
    // ("[Name]"), so the text can be turned back into its source.
    rtpFieldSource,
    // bool: hidden (\v) text kept with TRtfReadOptions::keepHiddenText.
    rtpHiddenText,
    // bool: protected (\protect) text.
    rtpProtected,
    // QStringList on a block format: bookmarks placed at the very end of the
    // document, after its last character.
    rtpBlockEndBookmarks,
    // int, unique per bookmark character: keeps every bookmark's format
    // distinct to Qt's format cache (which does not tell lists apart quickly).
    rtpBookmarkId,
    // int on the cell formats of a table row with a height (\trrhN): twips,
    // at least; negative: exactly (FitTableRowHeights pads the cells to it).
    rtpRowHeight,
    // double on cell formats: the top and bottom padding (pixels) the file
    // gave the cell, before FitTableRowHeights added to them.
    rtpCellTopPadding,
    rtpCellBottomPadding,
    // bool on the format of an empty paragraph just before a table that the
    // file wrote as a paragraph of its own: it stays visible (an empty block
    // that only separates a table from what precedes it is hidden).
    rtpKeepEmptyBlock,
};

enum class TRichLinkKind : int {
    HotText = 1,   // \uldb text + hidden command
    Hyperlink = 2, // HYPERLINK field
};

// A link under a position, with its visible text.
struct TRichLink {
    int start = 0;  // document position of its first character
    int length = 0; // visible characters
    QString text;    // visible text
    QString command; // hidden command
    TRichLinkKind kind = TRichLinkKind::HotText;
};

// The command of the link whose character starts at `position` (the
// character between position and position + 1); empty when there is none.
QString LinkCommandAt(const QTextDocument& document, int position);

// The whole link whose character starts at `position`.
std::optional<TRichLink> LinkAt(const QTextDocument& document, int position);

// Every link of the document in text order.
QList<TRichLink> Links(const QTextDocument& document);

// The document position of the bookmark (names compare ignoring case).
std::optional<int> BookmarkPosition(const QTextDocument& document, const QString& name);

// The bookmark names in text order, as written.
QStringList Bookmarks(const QTextDocument& document);

// Finds every "[" ... "]" group (nested brackets are matched, so
// "[Item[i]]" is one group) that is not already a field and not inside
// hidden or protected text or a link command, and replaces it by a variable
// field named by the group (rtpVariableName, upper case) showing
// valueOf(name). A group must lie within one paragraph. Returns the number of
// fields made.
int CreateVariableFields(QTextDocument& document,
                         const std::function<QString(const QString& upperName)>& valueOf);

// Shows valueOf(name) again in every variable field, in place (formats,
// links, bookmarks and the other text stay). Both calls make one undo step;
// documents that only show text should have undo turned off. With `onlyUpperName` only the
// fields of that variable are updated: those whose name is it, or whose name
// contains it as a nested "[NAME]" group. Returns the number updated.
int RefreshVariableFields(QTextDocument& document,
                          const std::function<QString(const QString& upperName)>& valueOf,
                          const QString& onlyUpperName = {});

// The document's variable field names (upper case, each once, text order).
QStringList VariableFieldNames(const QTextDocument& document);

// The plain text between two positions without hidden text and protected
// text (field values stay as shown; paragraph ends become "\r\n"): what the
// copy command and GetObjectInfo "SelectedText" hand out.
QString VisiblePlainText(const QTextDocument& document, int from, int to);
// The same for a cursor's selection.
QString VisiblePlainText(const QTextCursor& selection);

} // namespace tomeric
