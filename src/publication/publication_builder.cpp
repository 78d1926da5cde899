#include "publication/publication_builder.h"

#include "publication/object_properties.h"
#include "publication/publication_settings.h"
#include "publication/record_binding.h"

namespace tomeric {
namespace {

// A palette of its own also marks the publication as having one.
void SetPagePalette(TPageBackground& b, const TRecord& r, TBindingContext& context) {
    b.palette = ParsePalette(r.text);
    context.settings->hasOwnPalette = true;
}

using PG = TPageBackground;
using BP = TBind<PG>;
const TBindingTable<PG> kPageRows = {
    BP::YesNo(ktShowMasterPage, &PG::showMasterPage),
    BP::Byte(ktPageStyle, &PG::style),
    BP::Int(ktPageColor, &PG::color),
    BP::Text(ktPageWallpaper, &PG::wallpaper),
    BP::Byte(ktWallpaperStyle, &PG::wallpaperStyle),
    BP::Int(ktPageGradient1, &PG::gradient1),
    BP::Int(ktPageGradient2, &PG::gradient2),
    BP::Byte(ktPageGradientDir, &PG::gradientDir),
    BP::Special(ktPagePalette, SetPagePalette),
    BP::Text(ktPgEnterAction, &PG::enterAction),
    BP::Text(ktPgExitAction, &PG::exitAction),
    BP::Text(ktPageEffect, &PG::transitionName),
    BP::Text(ktEffectSpeed, &PG::transitionOptions),
};

using MI = TMenuItem;
using BM = TBind<MI>;
const TBindingTable<MI> kMenuItemRows = {
    BM::Text(ktMenuText, &MI::caption),
    BM::Text(ktMenuAction, &MI::action),
    BM::Int(ktMenuState, &MI::state),
    BM::Word(ktMenuKey, &MI::shortcut),
    BM::Text(ktMenuVar, &MI::varName),
};

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Records that begin a new part of the publication and so end a menu whose
// end marker is missing.
bool EndsOpenMenu(const TRecord& record) {
    return record.tag == ktNewPage || record.tag == ktMasterPage || record.tag == ktObjectType;
}

} // namespace

TPublicationBuilder::TPublicationBuilder(const TParseOptions& options) : options_(options) {}

void TPublicationBuilder::Apply(TRecord& record) {
    const TKeyScope scope = record.key->scope;
    if (InMenu()) {
        const bool anywhere = scope == TKeyScope::ksSetting || scope == TKeyScope::ksLanguage ||
                              scope == TKeyScope::ksMenu;
        if (!anywhere) {
            if (!EndsOpenMenu(record)) return; // inside a menu only menu items count
            CloseMenus();
        }
    }
    // A switch rather than a table of handlers: the object records, nearly
    // every line of a publication, are applied without a call through a
    // pointer.
    switch (scope) {
    case TKeyScope::ksSetting: return ApplySetting(record);
    case TKeyScope::ksLanguage: return ApplyLanguageText(record);
    case TKeyScope::ksPage: return ApplyPageRecord(record);
    case TKeyScope::ksObjectType: return ApplyObjectType(record);
    case TKeyScope::ksObject: return ApplyObjectRecord(record);
    case TKeyScope::ksClass: return ApplyClassRecord(record);
    case TKeyScope::ksMenu: return ApplyMenuRecord(record);
    case TKeyScope::ksIgnored: return;
    }
}

TPublication TPublicationBuilder::Finish() {
    CloseMenus();
    parents_.clear();
    currentObject_ = nullptr;
    publication_.subroutineNames = SubroutineNames(publication_.settings.subroutineAction);
    return std::move(publication_);
}

// ---- settings and language texts -------------------------------------------------

void TPublicationBuilder::ApplySetting(TRecord& record) {
    if (record.tag == ktEmbeddedFiles && !options_.previewMode) return;
    ApplySettingRecord(publication_.settings, record);
}

void TPublicationBuilder::ApplyLanguageText(TRecord& record) {
    const int index = record.tag - ktFirstLanguageText;
    if (index >= 0 && index < kLanguageTextCount) publication_.settings.languageTexts[index] = record.TakeText();
}

// ---- pages --------------------------------------------------------------------------

void TPublicationBuilder::ApplyPageRecord(TRecord& record) {
    if (record.tag == ktMasterPage) return StartPage(0);
    if (record.tag == ktNewPage) return AppendPage(record.Text());
    if (currentPage_ < 0) return;
    TBindingContext context{nullptr, &publication_.settings};
    ApplyBinding(kPageRows, publication_.pages[currentPage_].background, record, context);
}

void TPublicationBuilder::StartPage(int index) {
    currentPage_ = index;
    currentObject_ = nullptr;
    parents_.clear();
    ignoredNesting_ = 0;
}

void TPublicationBuilder::AppendPage(const QString& requestedName) {
    if (int(publication_.pages.size()) > options_.maxPages) {
        publication_.limitReached = true;
        StartPage(-1);
        return;
    }
    TPageRecord page;
    page.name = UniquePageName(requestedName);
    // Pages of a publication tend to hold alike numbers of objects: room for
    // as many as the last page had spares moving them while the list grows.
    if (!publication_.pages.empty()) page.objects.reserve(publication_.pages.back().objects.size());
    usedPageNames_.insert(page.name.toCaseFolded());
    publication_.pages.push_back(std::move(page));
    StartPage(int(publication_.pages.size()) - 1);
}

// An empty or used name loses its trailing blanks and digits, keeps one blank
// when what remains holds a blank, and takes the smallest free number:
// "Intro" -> "Intro1", "My Page 1" -> "My Page 2", "Page 1" -> "Page1".
QString TPublicationBuilder::UniquePageName(const QString& requested) {
    if (!requested.isEmpty() && !usedPageNames_.contains(requested.toCaseFolded())) return requested;
    QString stem = requested;
    while (!stem.isEmpty() && (stem.back() == u' ' || IsAsciiDigit(stem.back()))) stem.chop(1);
    if (stem.contains(u' ')) stem.append(u' ');
    // Names are never removed, so the smallest free number of a stem only
    // grows: remembering it keeps many equal names from costing quadratic time.
    const QString stemKey = stem.toCaseFolded();
    int number = std::max(1, nextNameNumber_.value(stemKey, 1));
    QString candidate = stem + QString::number(number);
    while (usedPageNames_.contains(candidate.toCaseFolded())) {
        candidate = stem + QString::number(++number);
    }
    nextNameNumber_.insert(stemKey, number + 1);
    return candidate;
}

// ---- objects ----------------------------------------------------------------------------

std::vector<TObjectRecord>& TPublicationBuilder::CurrentObjectList() {
    return parents_.empty() ? publication_.pages[currentPage_].objects : parents_.back()->members;
}

void TPublicationBuilder::ApplyObjectType(TRecord& record) {
    if (currentPage_ < 0 || !record.integer || !IsObjectType(*record.integer)) return;
    if (++objectCount_ > options_.maxObjects) {
        publication_.limitReached = true;
        currentObject_ = nullptr;
        return;
    }
    currentObject_ = &AppendObjectRecord(CurrentObjectList(), *record.integer);
    if (currentObject_->objType == otLinkedArticle) ++publication_.linkedArticleCount;
}

void TPublicationBuilder::ApplyObjectRecord(TRecord& record) {
    if (currentPage_ < 0) return;
    switch (record.tag) {
    case ktGroupBegin: return BeginMembers(otGroup);
    case ktContainerBegin: return BeginMembers(otContainer);
    case ktGroupEnd: return EndMembers(otGroup);
    case ktContainerEnd: return EndMembers(otContainer);
    default:
        if (currentObject_) ApplyCommonObjectRecord(*currentObject_, record);
    }
}

void TPublicationBuilder::ApplyClassRecord(TRecord& record) {
    if (currentPage_ >= 0 && currentObject_) ApplyClassObjectRecord(*currentObject_, record);
}

void TPublicationBuilder::BeginMembers(int objType) {
    if (!currentObject_ || currentObject_->objType != objType) return;
    if (int(parents_.size()) >= kMaxObjectNesting) {
        ++ignoredNesting_;
        return;
    }
    parents_.push_back(currentObject_);
}

// After the end marker the group or container itself is the current object
// again.
void TPublicationBuilder::EndMembers(int objType) {
    if (ignoredNesting_ > 0) {
        --ignoredNesting_;
        return;
    }
    if (parents_.empty() || parents_.back()->objType != objType) return;
    currentObject_ = parents_.back();
    parents_.pop_back();
}

// ---- menus --------------------------------------------------------------------------------

void TPublicationBuilder::BeginMenu(std::vector<TMenuItem>& items) {
    menuLevels_.push_back({&items, items.empty() ? nullptr : &items.back()});
}

void TPublicationBuilder::CloseMenus() {
    menuLevels_.clear();
    skippedMenuDepth_ = 0;
}

void TPublicationBuilder::ApplyMenuRecord(TRecord& record) {
    if (skippedMenuDepth_ > 0) {
        // A tray menu of an application without a tray icon (or a submenu
        // nested too deep): skipped up to its own end marker.
        if (record.tag == ktMenuBegin || record.tag == ktTrayMenuBegin) ++skippedMenuDepth_;
        if (record.tag == ktMenuEnd) --skippedMenuDepth_;
        return;
    }
    if (menuLevels_.empty()) {
        if (record.tag == ktMenuBegin) {
            if (!publication_.mainMenu) publication_.mainMenu.emplace();
            BeginMenu(*publication_.mainMenu);
        } else if (record.tag == ktTrayMenuBegin) {
            if (!options_.trayApplication) {
                skippedMenuDepth_ = 1;
                return;
            }
            if (!publication_.trayMenu) publication_.trayMenu.emplace();
            BeginMenu(*publication_.trayMenu);
        }
        return; // item records outside a menu are skipped
    }
    TMenuLevel& level = menuLevels_.back();
    switch (record.tag) {
    case ktMenuEnd: menuLevels_.pop_back(); return;
    case ktTrayMenuBegin: return;
    case ktMenuBegin:
        if (!level.lastItem) return; // no item to hang the submenu on
        if (int(menuLevels_.size()) >= kMaxObjectNesting) {
            skippedMenuDepth_ = 1;
            return;
        }
        return BeginMenu(level.lastItem->items);
    case ktMenuName: {
        TMenuItem item;
        item.name = record.Text();
        item.caption = item.name;
        level.items->push_back(std::move(item));
        level.lastItem = &level.items->back();
        return;
    }
    default:
        if (level.lastItem) {
            TBindingContext context;
            ApplyBinding(kMenuItemRows, *level.lastItem, record, context);
        }
    }
}

} // namespace tomeric
