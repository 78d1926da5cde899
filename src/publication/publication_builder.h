#pragma once
// The record grammar of the publication text: records in file order build a
// TPublication.
//
//  1. Settings, language texts and menus apply wherever they occur.
//  2. MASTERPAGE makes page 0 current; NEWPAGE= appends a page with a unique
//     name and makes it current. Before any page, page and object records
//     are skipped.
//  3. Page records set the current page's background.
//  4. OBJECTTYPE=n (2..24) creates an object in the current group or
//     container, or at the page's top level, and makes it current; other
//     numbers create nothing and later records still go to the previous
//     object. Without a current object, object records are skipped.
//  5. Object records apply to the current object; keys its class does not
//     take are skipped.
//  6. GROUPBEGIN/GROUPEND (after OBJECTTYPE=20) and CONTAINERBEGIN/
//     CONTAINEREND (after OBJECTTYPE=21) enclose members; they nest.
//  7. Coordinates stay as written: relative to the page or to the enclosing
//     group or container.
//
// Hardening beyond the format: nesting deeper than kMaxObjectNesting is
// flattened (its markers are counted and ignored), NEWPAGE=/MASTERPAGE close
// any group or container left open, and NEWPAGE=, MASTERPAGE or OBJECTTYPE=
// inside a menu that was never closed end that menu, so a missing end marker
// never swallows the rest of the publication.

#include "publication/publication_model.h"
#include "publication/record_reader.h"

#include <QHash>
#include <QSet>

#include <vector>

namespace tomeric {

inline constexpr int kMaxObjectNesting = 64;
// Far beyond any real publication (hundreds of pages, thousands of objects);
// they keep a hostile text from turning each short line into a page or an
// object without end. Records past a limit are skipped and the publication
// is marked `limitReached`.
inline constexpr int kMaxPages = 50000;
inline constexpr int kMaxObjects = 500000;

struct TParseOptions {
    bool previewMode = false;     // EMBEDDEDFILES= is read only in preview mode
    bool trayApplication = false; // TRAYMENUBEGIN is read only for tray applications
    int maxPages = kMaxPages;     // besides the master page
    int maxObjects = kMaxObjects;
};

class TPublicationBuilder {
public:
    explicit TPublicationBuilder(const TParseOptions& options);

    // Takes text values out of the record, which is spent afterwards.
    void Apply(TRecord& record);
    // Ends reading: closes what is open, collects the subroutine names.
    TPublication Finish();

private:
    void ApplySetting(TRecord& record);
    void ApplyPageRecord(TRecord& record);
    void ApplyObjectType(TRecord& record);
    void ApplyObjectRecord(TRecord& record);
    void ApplyClassRecord(TRecord& record);
    void ApplyMenuRecord(TRecord& record);

    void StartPage(int index);
    void AppendPage(const QString& requestedName);
    QString UniquePageName(const QString& requested);
    void BeginMembers(int objType);
    void EndMembers(int objType);
    std::vector<TObjectRecord>& CurrentObjectList();

    void ApplyLanguageText(TRecord& record);
    void BeginMenu(std::vector<TMenuItem>& items);
    void CloseMenus();
    bool InMenu() const { return !menuLevels_.empty() || skippedMenuDepth_ > 0; }

    TParseOptions options_;
    TPublication publication_;
    int currentPage_ = -1;
    TObjectRecord* currentObject_ = nullptr;
    std::vector<TObjectRecord*> parents_; // open groups and containers, innermost last
    int ignoredNesting_ = 0;              // members markers beyond kMaxObjectNesting
    int objectCount_ = 0;
    QHash<QString, int> nextNameNumber_;  // case-folded stem -> smallest number worth trying
    QSet<QString> usedPageNames_;         // case-folded

    struct TMenuLevel {
        std::vector<TMenuItem>* items;
        TMenuItem* lastItem = nullptr;
    };
    std::vector<TMenuLevel> menuLevels_;
    int skippedMenuDepth_ = 0; // inside a tray menu of an application that has none
};

} // namespace tomeric
