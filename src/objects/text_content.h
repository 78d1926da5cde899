#pragma once
// What texts and articles do with their documents: load a text (RTF, caret
// markup, HTML or plain), put the object's font over it, turn "[...]"
// groups into fields that show variables, follow a clicked link, and search
// the text for the Find window.

#include "objects/find_searchable.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QTextCursor>

#include <functional>
#include <optional>

class QTextDocument;

namespace tomeric {

class TTomericObj;

// The look a loaded text starts from.
struct TTextLook {
    QFont font;            // the object's font: the default for unformatted text
    int fontPoints = 8;    // the object's FONTSIZE=, for RTF text without a size
    QColor textColour = Qt::black;
    QColor linkColour = Qt::blue;
    bool wordWrap = true;  // caret markup: lines join into paragraphs
};

// The kinds of text a file or caption holds.
enum class TTextFormat { CaretMarkup, Rtf, Html, Plain };

// ".TXT" names (any case) hold caret markup; other files are told apart by
// their content (RTF, HTML) or their extension (".htm", ".html").
TTextFormat FileTextFormat(const QString& fileName, const QByteArray& bytes);

// Replaces the document's content. Plain and caret-markup bytes are
// Windows-1252. Whatever cannot be read leaves what was read so far.
void LoadDocument(QTextDocument& document, const QByteArray& bytes, TTextFormat format,
                  const TTextLook& look);
// A caption or TEXT= value: RTF when it starts with "{\rtf", else plain text.
void LoadCaption(QTextDocument& document, const QString& text, const TTextLook& look);

// Puts `font` over every character: the family and size always, the style
// (bold, italic, underline, strike-out) only with `withStyle`. Links and
// fields keep their properties.
void ApplyFontToAll(QTextDocument& document, const QFont& font, bool withStyle);

// The value a variable field shows: the variable's current value ("" when
// it has none). `upperName` without its outer brackets ("SCORE").
QString FieldValue(const QString& upperName);
// Makes fields of the "[...]" groups and shows their values.
int MakeVariableFields(QTextDocument& document);
// Shows the current value in the fields of one variable (`bracketedUpper`
// as the variable store announces it: "[SCORE]"), or of all when empty.
// Returns how many fields changed.
int RefreshFields(QTextDocument& document, const QString& bracketedUpper = QString());
// Whether RefreshFields could change a field of the variable `bracketedUpper`.
bool FieldsShowVariable(const QTextDocument& document, const QString& bracketedUpper);

// A click on hot text at `position`: [HyperlinkClickedText] gets the link's
// visible text; a ":name" command jumps to bookmark "name" through `jump`;
// any other command runs as the object's link script (event 12, posted),
// with every "¶" made a line break. Nothing when no link is there.
void FollowLink(TTomericObj& object, const QTextDocument& document, int position,
                const std::function<void(const QString& bookmark)>& jump);

// Whether the character at `position` belongs to a link.
bool IsLinkCharacter(const QTextDocument& document, int position);

// Finds `text` in the document at or after position `from` (ignoring case
// unless `caseSensitive`). With `includeLinkCommands` the hidden commands of
// links are searched too; a match inside a command selects the link's
// visible text. Field values are searched as shown. Nothing when absent.
std::optional<QTextCursor> FindInDocument(const QTextDocument& document, const QString& text,
                                          int from, bool includeLinkCommands,
                                          bool caseSensitive = false);

// The Find window's search: `pattern` ignoring case, "*" standing for any
// run of characters within a paragraph, at or after `from`. Never an empty
// match.
std::optional<QTextCursor> FindWildcard(const QTextDocument& document, const QString& pattern, int from);
// The same search, answered as the Find window takes it.
std::optional<TFindMatch> FindWildcardMatch(const QTextDocument& document, const QString& pattern, int from);

// The commands of the document's links, in text order.
QStringList LinkCommands(const QTextDocument& document);

// The selection as the user copies it: without hidden link commands and
// protected text.
QString SelectionPlainText(const QTextCursor& selection);

} // namespace tomeric
