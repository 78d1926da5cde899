#pragma once
// TPublicationMenu: the publication's main menu (a menu bar) and its tray
// menu (a pop-up kept for the tray icon), built from the model's item trees.
//
//  - captions that hold [variables] are shown with their values and rebuilt
//    whenever one of those variables changes;
//  - a click checks or unchecks an item that checks itself, writes its
//    variable ("Checked" or empty), then runs the item's action (source kind
//    23 for the main menu, 24 for the tray menu);
//  - it is the window's object command service: ShowMenuItem, HideMenuItem,
//    EnableMenuItem and DisableMenuItem act on the items found by name (any
//    case, main menu first, then the tray menu); the page-object commands go
//    to the object command service, every other command to the next service.

#include "actions/services.h"
#include "publication/publication_model.h"
#include "vars/variables.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QMainWindow;
class QWidget;

namespace tomeric {


// A stored 16-bit shortcut (low byte: Windows virtual-key code; 0x2000
// Shift, 0x4000 Ctrl, 0x8000 Alt) as a key sequence; empty when the key has
// no equivalent or the code is 0.
QKeySequence ShortcutToKeySequence(int shortcut);

class TPublicationMenu final : public CommandService, public VariableObserver {
public:
    // Runs an item's action: text, source name (the item's name), source kind.
    using ActionRunner = std::function<void(const QString& text, const QString& sourceName, uint8_t sourceKind)>;

    explicit TPublicationMenu(ActionRunner runAction);
    ~TPublicationMenu() override;
    TPublicationMenu(const TPublicationMenu&) = delete;
    TPublicationMenu& operator=(const TPublicationMenu&) = delete;

    // Commands that are not menu-item commands go there (may be null).
    void SetNext(CommandService* next) { next_ = next; }
    // Page-object commands (ShowObject, ListBoxAddItem ...) go there (may be
    // null: they then go on to the next service).
    void SetObjectCommands(CommandService* objects) { objects_ = objects; }

    // Builds both menus from the publication (replacing any built before).
    // The menu bar is created with `barParent` as its parent (the window
    // then owns it once it is set as its menu bar).
    void Build(const TPublication& publication, QWidget* barParent = nullptr);
    // What the window does when the publication is loaded: builds the menus,
    // sets the main menu as the window's menu bar (the window grows by the
    // bar's height so that the publication keeps its client size), then
    // publishes the checked items' variables.
    void Install(QMainWindow& window, const TPublication& publication);
    // Null when the publication has no main menu / no tray menu.
    QMenuBar* MenuBar() const { return bar_; }
    QMenu* TrayMenu() const { return tray_.get(); }
    // Menus go away (the window is closing).
    void Clear();

    // Items that check themselves and are checked write "Checked" into
    // their variable (once, when the publication is loaded).
    void PublishCheckedVariables();

    // The item of that name (any case), main menu first; null when none.
    QAction* FindItem(const QString& name) const;

    // Captions that show that variable are rebuilt ("[NAME]", any case).
    void RefreshCaptions(const QString& bracketedName);

    // CommandService
    ServiceReply Perform(const ServiceCall& call) override;
    // VariableObserver
    void VariableChanged(const QString& bracketedName, const QString& value) override;
    void LastErrorSet(const QString&, bool) override {}

private:
    struct Entry {
        QPointer<QAction> action;
        QString name;
        QString rawCaption;
        QString actionText;
        QString varName;
        bool checksItself = false;
        bool tray = false;
    };

    void AddItems(QMenu* menu, QMenuBar* bar, const std::vector<TMenuItem>& items, bool tray);
    QAction* AddItem(QWidget* owner, QMenu* menu, QMenuBar* bar, const TMenuItem& item, bool tray);
    void Clicked(size_t index);
    void UpdateCaption(Entry& entry);
    const Entry* FindEntry(const QString& name) const;

    ActionRunner runAction_;
    CommandService* next_ = nullptr;
    CommandService* objects_ = nullptr;
    QPointer<QMenuBar> bar_;
    std::unique_ptr<QMenu> tray_;
    std::vector<Entry> entries_;
};

} // namespace tomeric
