#pragma once
// What the Find window asks of the things it searches. A page object whose
// visible text is more than a caption (text objects and articles with their
// rich text, edit fields, list and combo boxes, text windows) implements
// TFindSearchable next to its widget class; the Find window discovers it with
// a cross-cast from the object's widget. Objects that do not implement it are
// searched through their caption.

#include <QString>
#include <QStringList>

#include <optional>

class QRect;

namespace tomeric {

// A match inside one searchable: where it is (in the searchable's own
// units: characters of a text, or an item index with its character range),
// and where the next search inside the same searchable starts.
struct TFindMatch {
    int position = 0;
    int length = 0;
    int item = -1; // list and combo boxes: the matched item
    int next = 0;  // the `from` that continues after this match
};

class TFindSearchable {
public:
    virtual ~TFindSearchable() = default;
    // Looks for `text` ignoring case, "*" standing for any run of
    // characters, starting at `from` (0: the beginning). Hidden text is not
    // searched.
    virtual std::optional<TFindMatch> FindText(const QString& text, int from) const = 0;
    // Shows the match: selects it and scrolls it into view (rich text and
    // edit fields), or selects the item (lists).
    virtual void ShowFindMatch(const TFindMatch& match) = 0;
    // The actions of the hyperlinks inside the text (the hidden text that
    // follows each link's visible text); none for other kinds.
    virtual QStringList LinkActions() const { return {}; }
};

// The plain-text search every searchable may use: `text` ignoring case with
// "*" as a wildcard, in `haystack` from position `from`. Empty matches are
// never returned.
std::optional<TFindMatch> FindInPlainText(const QString& haystack, const QString& text, int from);

// The same through a list of items (list and combo boxes): the first item at
// or after `fromItem` that contains the text; `next` is the item after it.
std::optional<TFindMatch> FindInItems(const QStringList& items, const QString& text, int fromItem);

} // namespace tomeric
