// The main window and its page objects: creation with every page once the
// publication is read, OM_INIT once they all exist, variable changes, the
// page events, timers paused around modal dialogs, tab stops after the page
// area changes size, and hot keys.

#include "app/player_object_host.h"
#include "app/work_form.h"

#include "objects/articles.h"
#include "objects/edit_field.h"
#include "objects/first_values.h"
#include "objects/hot_keys.h"
#include "objects/linked_article.h"
#include "objects/object_commands.h"
#include "objects/object_factory.h"
#include "objects/object_tree.h"
#include "objects/repositor.h"
#include "objects/text_object.h"
#include "vars/variables.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>

namespace tomeric {

namespace {

// The objects placed straight on `parent` (those ANCHOR= docks).
std::vector<TTomericObj*> DirectObjects(QWidget& parent)
{
    std::vector<TTomericObj*> objects;
    for (QObject* child : parent.children())
        if (auto* object = qobject_cast<TTomericObj*>(child))
            objects.push_back(object);
    return objects;
}

bool HasLinkedArticles(const std::vector<TObjectRecord>& records)
{
    return std::any_of(records.begin(), records.end(), [](const TObjectRecord& record) {
        return record.objType == otLinkedArticle || HasLinkedArticles(record.members);
    });
}

// Linked articles flow their text through frames on several pages: those
// pages are created together.
bool HasLinkedArticles(const TPublication& publication)
{
    return std::any_of(publication.pages.begin(), publication.pages.end(),
                       [](const TPageRecord& page) { return HasLinkedArticles(page.objects); });
}

} // namespace

void TWorkForm::CreateObjectsOfAllPages()
{
    if (!objectHost_)
        objectHost_ = std::make_unique<TPlayerObjectHost>(*this, services_->All());
    pageObjectsInitialised_ = false;
    announcedVariables_.clear();
    announcedVariableSet_.clear();
    stack_->SetPageBuilder([this](int index, TTomericBackground& background) {
        if (!objectHost_)
            return;
        const std::vector<TObjectRecord>& records = publication_.pages[size_t(index)].objects;
        CreatePageObjects(&background, records, *objectHost_, background.PublicationArea().topLeft());
        if (pageObjectsInitialised_)
            InitialiseLatePage(background);
    });
    // Buttons and inputs write their first values at OM_INIT. A page whose
    // objects' writes are known from its records waits for its widgets
    // until it is first shown or reached; every other page is created now.
    const bool allPagesNow = !objectHost_->EnterExitSuppressed() ||
                             qEnvironmentVariableIsSet("TOMERIC_CREATE_ALL_PAGES") || HasLinkedArticles(publication_);
    for (int i = 0; i < stack_->Count(); ++i)
        if (allPagesNow || !FirstValuesKnown(publication_.pages[size_t(i)].objects))
            stack_->EnsurePage(i);
    // Linked articles form their chains, page by page, once every page's
    // objects exist; their text flows through the frames while the splash
    // screen still shows.
    std::vector<QWidget*> pages;
    for (int i = 0; i < stack_->Count(); ++i)
        if (QWidget* page = stack_->PageBackground(i))
            pages.push_back(page);
    TTomericLinkedArticle::FormChains(pages);
    pageView_->SetPageEventSink([this](int message, int index) { SendPageEvent(message, index); });
    new TResizeWatcher(stack_, [this] { SendToAllObjects([](TTomericObj& o) { o.OnTabStops(); }); });
    InitialiseObjects();
}

void TWorkForm::InitialiseLatePage(TTomericBackground& background)
{
    // The page's objects take the state they would have had since start-up:
    // their first state without the writes (made from the records then),
    // docked in the publication area as it is now, then every variable
    // change announced since, with its value now.
    DockObjects(DirectObjects(background), background.PublicationArea());
    SendToObjects(&background, [](TTomericObj& o) { o.OnLateInit(); });
    const std::vector<QPointer<TTomericObj>> objects = [&background] {
        std::vector<QPointer<TTomericObj>> all;
        SendToObjects(&background, [&all](TTomericObj& o) { all.emplace_back(&o); });
        return all;
    }();
    for (const QString& upperName : std::vector<QString>(announcedVariables_)) {
        const QString value = GetVariable(upperName);
        for (const QPointer<TTomericObj>& object : objects)
            if (object)
                object->OnVarChanged(upperName, value);
    }
}

void TWorkForm::DockPageObjects()
{
    // Top-level objects with ANCHOR= dock in the publication area, as a
    // container's members dock in its client area.
    if (!stack_ || !objectHost_)
        return;
    for (int i = 0; i < stack_->Count(); ++i)
        if (TTomericBackground* page = stack_->PageBackground(i))
            DockObjects(DirectObjects(*page), page->PublicationArea());
}

void TWorkForm::InitialiseObjects()
{
    // At OM_INIT thousands of buttons and inputs may write their variables.
    // Telling every object of every page after each write would cost the
    // number of writes times the number of objects; the names are collected
    // instead and each is announced once, with its final value, when all
    // objects have their first state. Pages without widgets yet make their
    // objects' writes from the records, in the same order.
    pendingVarChanges_.emplace();
    for (int i = 0; i < stack_->Count(); ++i) {
        if (TTomericBackground* page = stack_->PageBackground(i))
            SendToObjects(page, [](TTomericObj& o) { o.OnInit(); });
        else
            WriteFirstValues(publication_.pages[size_t(i)].objects);
    }
    const QStringList names = pendingVarChanges_->values();
    pendingVarChanges_.reset();
    pageObjectsInitialised_ = true;
    for (const QString& name : names)
        SendVarChangedToObjects(name);
}

void TWorkForm::SendToAllObjects(const std::function<void(TTomericObj&)>& deliver)
{
    if (!stack_ || !objectHost_)
        return;
    for (int i = 0; i < stack_->Count(); ++i)
        SendToObjects(stack_->PageBackground(i), deliver);
}

void TWorkForm::SendToPageObjects(int pageIndex, const std::function<void(TTomericObj&)>& deliver)
{
    if (!stack_ || !objectHost_)
        return;
    SendToObjects(stack_->PageBackground(pageIndex), deliver);
    // The master page's objects take part while a page shows them.
    if (pageIndex != 0 && stack_->ShowsMasterPage(pageIndex))
        SendToObjects(stack_->PageBackground(0), deliver);
}

void TWorkForm::SendPageEvent(int message, int pageIndex)
{
    switch (message) {
    case OM_PAGEHIDE:
        // Objects stop moving when their page is left.
        services_->ObjectCommands().StopAllMovers();
        SendToPageObjects(pageIndex, [](TTomericObj& o) { o.OnPageHide(); });
        break;
    case OM_PAGESHOW: SendToPageObjects(pageIndex, [](TTomericObj& o) { o.OnPageShow(); }); break;
    case OM_PAGEPAINT:
        RefreshPageVariables();
        SendToPageObjects(pageIndex, [](TTomericObj& o) { o.OnPagePaint(true, {}); });
        break;
    default: break;
    }
}

void TWorkForm::RefreshPageVariables()
{
    // The page's own built-ins change with the page, without a write: texts
    // showing them (a master page's "[PageTitle]" footer) follow the page.
    static const QStringList pageNames = {QStringLiteral("[PageTitle]"), QStringLiteral("[PageNumber]"),
                                          QStringLiteral("[P]"), QStringLiteral("[PageNumberLeft]"),
                                          QStringLiteral("[PageNumberRight]")};
    for (const QString& name : pageNames)
        RefreshVariables(name);
}

bool TWorkForm::FocusedMaskUnsatisfied() const
{
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
        if (auto* field = qobject_cast<TTomericEditField*>(widget))
            return !field->MaskSatisfied();
    return false;
}

void TWorkForm::SendVarChangedToObjects(const QString& bracketedName)
{
    if (!objectHost_)
        return;
    if (pendingVarChanges_) {
        pendingVarChanges_->insert(bracketedName.toUpper());
        return;
    }
    const QString upperName = BracketedUpper(bracketedName);
    // Pages created later hear the names announced before they existed.
    if (stack_ && stack_->CreatedPageCount() < stack_->Count() && !announcedVariableSet_.contains(upperName)) {
        announcedVariableSet_.insert(upperName);
        announcedVariables_.push_back(upperName);
    }
    if (!SomeObjectHears(upperName))
        return;
    const QString value = GetVariable(bracketedName);
    SendToAllObjects([&](TTomericObj& o) { o.OnVarChanged(upperName, value); });
    FloatingWindows().SendToContentObjects([&](TTomericObj& o) { o.OnVarChanged(upperName, value); });
}

// A loop that writes its counters on a page of a thousand objects would
// otherwise ask every one of them on every pass. Whether any object hears a
// variable is remembered until an object is made or changes what it shows;
// a variable remembered as heard that no longer is only costs the
// announcement, as it did before anything was remembered.
bool TWorkForm::SomeObjectHears(const QString& upperName)
{
    constexpr qsizetype kMaxRemembered = 4096; // arrays written by index stay cheap to forget
    if (hearingGeneration_ != VariableInterestGeneration() || heardByName_.size() > kMaxRemembered) {
        heardByName_.clear();
        hearingGeneration_ = VariableInterestGeneration();
    }
    if (const auto known = heardByName_.constFind(upperName); known != heardByName_.cend())
        return *known;
    bool heard = false;
    const auto ask = [&](TTomericObj& o) { heard = heard || o.HearsVariable(upperName); };
    SendToAllObjects(ask);
    FloatingWindows().SendToContentObjects(ask);
    heardByName_.insert(upperName, heard);
    return heard;
}

void TWorkForm::PauseObjectTimers(bool pause)
{
    SendToAllObjects([pause](TTomericObj& o) { o.OnTimers(!pause); });
}

bool TWorkForm::DispatchObjectHotKey(const QKeyEvent& event)
{
    if (!stack_ || !objectHost_ || phase_ < TFormPhase::fpRunning)
        return false;
    const int shown = stack_->ShownIndex();
    QWidget* master = shown != 0 && stack_->ShowsMasterPage(shown) ? stack_->PageBackground(0) : nullptr;
    return DispatchHotKey(stack_->PageBackground(shown), master, event);
}

void TWorkForm::ReleasePageObjects()
{
    // Objects go before the host they use. When another publication
    // follows, a page out in a custom window that stays open keeps its
    // objects, and they keep the host (it serves the next publication too).
    const bool keepLentPages = chain_.InProgress();
    if (stack_ && objectHost_) {
        std::vector<QPointer<TTomericObj>> objects;
        for (int i = 0; i < stack_->Count(); ++i)
            if (!(keepLentPages && stack_->IsLent(i)))
                SendToObjects(stack_->PageBackground(i), [&objects](TTomericObj& o) { objects.emplace_back(&o); });
        for (const QPointer<TTomericObj>& object : objects)
            delete object.data();
    }
    if (!keepLentPages)
        objectHost_.reset();
}

} // namespace tomeric
