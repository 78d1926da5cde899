#pragma once
// The search behind the Find window: the scope (the current page, every
// page, or a list of page names), and per page four phases run in order:
//
//   1. the objects (master page's first when the page shows it; invisible
//      ones skipped; members of groups and containers in order): each
//      object's visible text, then its links' actions and its action
//      scripts, which are not matched but scanned for TextWindow commands;
//   2. the page's enter action and 3. its exit action, scanned the same way;
//   4. each text file those TextWindow commands named: searched in its open
//      text window, or loaded unseen; a match re-runs the TextWindow line.
//
// The search keeps its place, so Find Next continues after the last match.
// The pages, objects and files are reached through TFindPages, which the
// player implements on its page list and tests replace.

#include "objects/find_searchable.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

namespace tomeric {

// One object as the search sees it.
struct TFindObject {
    QString name;
    QPointer<QWidget> widget;                // what is flashed; may be null
    TFindSearchable* searchable = nullptr;   // rich text, edits, lists; may be null
    std::shared_ptr<TFindSearchable> adapter; // owns `searchable` when it is an adapter
    bool flash = false;                      // a match is also shown by flashing
    QString caption;                         // searched when there is no searchable
    QStringList scripts;                     // its action scripts, in event order
};

class TFindPages {
public:
    virtual ~TFindPages() = default;
    virtual int CurrentPage() const = 0;
    // Pages 1..LastPage() are the publication's pages (0 is the master page).
    virtual int LastPage() const = 0;
    // The page of that name (any case); −1 when there is none.
    virtual int FindPage(const QString& name) const = 0;
    virtual bool ShowsMasterPage(int page) const = 0;
    // The visible objects of a page, members of groups and containers
    // included, in creation order.
    virtual std::vector<TFindObject> Objects(int page) = 0;
    virtual QString EnterAction(int page) const = 0;
    virtual QString ExitAction(int page) const = 0;
    // Variables replaced in a file name of a TextWindow line.
    virtual QString Substitute(const QString& text) const = 0;
    // The open text window showing that file (null when none is open).
    virtual TFindSearchable* OpenTextWindow(const QString& file) = 0;
    // The file loaded unseen; null when it cannot be read.
    virtual std::unique_ptr<TFindSearchable> LoadTextFile(const QString& file) = 0;
    // Goes to the page with its page actions.
    virtual void GotoPage(int page) = 0;
    // Runs one action line (the TextWindow command of a matched file).
    virtual void RunLine(const QString& line) = 0;
};

// Where a match was found.
struct TFindResult {
    enum Kind { fkNone, fkObject, fkTextFile, fkError } kind = fkNone;
    int page = -1;
    TFindObject object;          // fkObject
    QString file, commandLine;   // fkTextFile
    TFindMatch match;
    QString errorName;           // fkError: the page name that does not exist
};

// The file a TextWindow line names (its sixth parameter, variables
// replaced); empty for any other line.
QString TextWindowFile(const QString& line, const TFindPages& pages);

class TFindSearch {
public:
    explicit TFindSearch(TFindPages& pages) : pages_(pages) {}

    // Find First: a new search of `text` over `scope`.
    TFindResult FindFirst(const QString& text, const QString& scope);
    // Find Next: continues after the last match; the same as a failed
    // search when none is under way.
    TFindResult FindNext();
    // True between a match and the end of the scope.
    bool Searching() const { return searching_; }
    void Reset();
    const QString& Text() const { return text_; }
    // The last match was shown somewhere its positions differ (a text file
    // searched unseen, then shown in its window): Find Next goes on from
    // `next` in that window's text.
    void ContinueFrom(int next) { from_ = next; loadedFile_.reset(); }

private:
    struct TextFile {
        QString file, line;
    };

    TFindResult Run();
    // The next page of the scope; false at its end, or with `result` set to
    // the error of a name that is not a page.
    bool NextScopePage(TFindResult& result);
    bool SearchPage(TFindResult& result);
    bool SearchObjects(TFindResult& result);
    bool SearchFiles(TFindResult& result);
    void ScanScripts(const QStringList& scripts);

    TFindPages& pages_;
    QString text_;
    QString scope_;
    bool searching_ = false;
    // Where the search stands.
    QStringList scopeItems_;     // page names still to visit (list scopes)
    bool allPages_ = false;
    int lastAllPage_ = 0;        // ALL: the last page visited
    bool currentDone_ = false;   // CURRENT: the page has been visited
    int page_ = -1;              // page being searched, −1: none
    int phase_ = 1;              // 1 objects, 2 enter, 3 exit, 4 files
    int item_ = 0;               // object or file index within the phase
    int field_ = 1;              // within an object: 1 text, 2 links and scripts
    int from_ = 0;               // inside the field, after the last match
    std::vector<TFindObject> objects_;
    std::vector<TextFile> files_;
    std::unique_ptr<TFindSearchable> loadedFile_;
};

} // namespace tomeric
