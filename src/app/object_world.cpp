#include "app/object_world.h"

#include "actions/page_navigation.h"
#include "pages/page_stack.h"

namespace tomeric {

namespace {

TTomericBackground* MasterBackground(const TPageStack& stack)
{
    const TQXPageWidget* master = stack.ExistingPage(0);
    return master ? master->Background() : nullptr;
}

// The master page's layer lies inside the shown page when that page shows it.
bool ShowsMaster(const TPageStack& stack, const TQXPageWidget& shown)
{
    const TTomericBackground* master = MasterBackground(stack);
    return master && master->parentWidget() == shown.Background();
}

std::vector<TObjectRoot> ShownRoots(const TPageStack& stack)
{
    std::vector<TObjectRoot> roots;
    const int index = stack.ShownIndex();
    const TQXPageWidget* shown = stack.ExistingPage(index);
    if (!shown)
        return roots;
    roots.push_back({shown->Background(), index, true, false});
    if (index != 0 && ShowsMaster(stack, *shown))
        roots.push_back({MasterBackground(stack), 0, true, false});
    return roots;
}

// Pages not created yet are created only when their records name the object.
std::vector<TObjectRoot> OtherRoots(TPageStack& stack, const QString& name)
{
    std::vector<TObjectRoot> roots;
    const int shownIndex = stack.ShownIndex();
    const TQXPageWidget* shown = stack.ExistingPage(shownIndex);
    const bool masterShown = shown && shownIndex != 0 && ShowsMaster(stack, *shown);
    for (int index = 0; index < stack.Count(); ++index) {
        if (index == shownIndex || (index == 0 && masterShown))
            continue;
        if (!stack.ExistingPage(index) && !stack.PageNamesObject(index, name))
            continue;
        if (TQXPageWidget* page = stack.EnsurePage(index))
            roots.push_back({page->Background(), index, false, false});
    }
    return roots;
}

} // namespace

TObjectWorld MakeObjectWorld(std::function<TPageStack*()> stack, std::function<TQXPageList*()> pages,
                             bool fast)
{
    TObjectWorld world;
    world.shownRoots = [stack] {
        TPageStack* current = stack();
        return current ? ShownRoots(*current) : std::vector<TObjectRoot>{};
    };
    world.otherRoots = [stack](const QString& name) {
        TPageStack* current = stack();
        return current ? OtherRoots(*current, name) : std::vector<TObjectRoot>{};
    };
    world.bringUpPage = [pages](int index) {
        if (TQXPageList* list = pages())
            list->GotoPageIndex(index, true);
    };
    world.fastEffects = fast;
    return world;
}

} // namespace tomeric
