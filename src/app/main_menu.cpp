#include "app/main_menu.h"

#include "actions/action_eval.h"
#include "objects/hot_keys.h"
#include "objects/object_commands.h"
#include "platform/string_table.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <array>
#include <utility>

namespace tomeric {

namespace {

enum class TItemChange { icShow, icHide, icEnable, icDisable };

struct MenuCommand {
    const char* name;
    TItemChange change;
};
constexpr std::array kMenuCommands = {
    MenuCommand{"ShowMenuItem", TItemChange::icShow},
    MenuCommand{"HideMenuItem", TItemChange::icHide},
    MenuCommand{"EnableMenuItem", TItemChange::icEnable},
    MenuCommand{"DisableMenuItem", TItemChange::icDisable},
};

const MenuCommand* FindMenuCommand(const QString& command)
{
    for (const MenuCommand& entry : kMenuCommands)
        if (command.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return &entry;
    return nullptr;
}

void ApplyChange(QAction& action, TItemChange change)
{
    switch (change) {
    case TItemChange::icShow: action.setVisible(true); break;
    case TItemChange::icHide: action.setVisible(false); break;
    case TItemChange::icEnable: action.setEnabled(true); break;
    case TItemChange::icDisable: action.setEnabled(false); break;
    }
}

bool ShowsVariables(const QString& caption)
{
    return caption.contains(QLatin1Char('['));
}

} // namespace

QKeySequence ShortcutToKeySequence(int shortcut)
{
    const int combined = HotKeyFromShortcut(shortcut);
    return combined ? QKeySequence(QKeyCombination::fromCombined(combined)) : QKeySequence();
}

TPublicationMenu::TPublicationMenu(ActionRunner runAction) : runAction_(std::move(runAction))
{
    AddVariableObserver(this);
}

TPublicationMenu::~TPublicationMenu()
{
    RemoveVariableObserver(this);
    Clear();
}

void TPublicationMenu::Clear()
{
    entries_.clear();
    tray_.reset();
    delete bar_.data();
    bar_ = nullptr;
}

void TPublicationMenu::Build(const TPublication& publication, QWidget* barParent)
{
    Clear();
    if (publication.mainMenu) {
        bar_ = new QMenuBar(barParent);
        AddItems(nullptr, bar_, *publication.mainMenu, false);
    }
    if (publication.trayMenu) {
        tray_ = std::make_unique<QMenu>();
        AddItems(tray_.get(), nullptr, *publication.trayMenu, true);
    }
}

void TPublicationMenu::Install(QMainWindow& window, const TPublication& publication)
{
    Build(publication, &window);
    if (bar_) {
        const QSize before = window.size();
        const bool fixed = window.minimumSize() == window.maximumSize();
        window.setMenuBar(bar_);
        const QSize grown = before + QSize(0, bar_->sizeHint().height());
        if (fixed)
            window.setFixedSize(grown);
        else
            window.resize(grown);
    }
    PublishCheckedVariables();
}

void TPublicationMenu::AddItems(QMenu* menu, QMenuBar* bar, const std::vector<TMenuItem>& items, bool tray)
{
    QWidget* owner = menu ? static_cast<QWidget*>(menu) : static_cast<QWidget*>(bar);
    for (const TMenuItem& item : items)
        AddItem(owner, menu, bar, item, tray);
}

QAction* TPublicationMenu::AddItem(QWidget* owner, QMenu* menu, QMenuBar* bar, const TMenuItem& item, bool tray)
{
    QAction* action = nullptr;
    if (item.IsSeparator()) {
        action = menu ? menu->addSeparator() : bar->addSeparator();
    } else if (!item.items.empty()) {
        auto* submenu = new QMenu(owner);
        AddItems(submenu, nullptr, item.items, tray);
        action = submenu->menuAction();
        if (menu)
            menu->addMenu(submenu);
        else
            bar->addMenu(submenu);
    } else {
        action = new QAction(owner);
        owner->addAction(action);
    }
    action->setShortcut(ShortcutToKeySequence(item.shortcut));
    action->setCheckable(item.ChecksItself() || item.IsChecked());
    action->setChecked(item.IsChecked());
    action->setVisible(item.IsVisible());
    action->setEnabled(item.IsEnabled());

    Entry entry{action, item.name, item.caption, item.action, item.varName, item.ChecksItself(), tray};
    UpdateCaption(entry);
    entries_.push_back(std::move(entry));
    const size_t index = entries_.size() - 1;
    if (!item.IsSeparator() && item.items.empty())
        QObject::connect(action, &QAction::triggered, action, [this, index] { Clicked(index); });
    return action;
}

void TPublicationMenu::UpdateCaption(Entry& entry)
{
    if (!entry.action || entry.rawCaption == u"-")
        return;
    entry.action->setText(ShowsVariables(entry.rawCaption) ? SubstituteVars(entry.rawCaption)
                                                           : entry.rawCaption);
}

void TPublicationMenu::Clicked(size_t index)
{
    if (index >= entries_.size() || !entries_[index].action)
        return;
    // Copies: the action may rebuild or clear the menus.
    const Entry entry = entries_[index];
    QAction& action = *entry.action;
    if (entry.checksItself) {
        // Qt has already toggled the check mark.
        if (!entry.varName.isEmpty())
            SetVariable(entry.varName, action.isChecked() ? QStringLiteral("Checked") : QString());
    } else if (action.isCheckable()) {
        // A check mark set by the publication stays until a script changes it.
        action.setChecked(!action.isChecked());
    }
    if (runAction_ && !entry.actionText.isEmpty())
        runAction_(entry.actionText, entry.name, entry.tray ? skTrayMenu : skMainMenu);
}

void TPublicationMenu::PublishCheckedVariables()
{
    for (const Entry& entry : entries_)
        if (entry.action && entry.checksItself && !entry.varName.isEmpty() && entry.action->isChecked())
            SetVariable(entry.varName, QStringLiteral("Checked"));
}

const TPublicationMenu::Entry* TPublicationMenu::FindEntry(const QString& name) const
{
    // Main-menu entries were built first, so they are found first.
    for (const Entry& entry : entries_)
        if (entry.action && entry.name.compare(name, Qt::CaseInsensitive) == 0)
            return &entry;
    return nullptr;
}

QAction* TPublicationMenu::FindItem(const QString& name) const
{
    const Entry* entry = FindEntry(name);
    return entry ? entry->action.data() : nullptr;
}

void TPublicationMenu::RefreshCaptions(const QString& bracketedName)
{
    for (Entry& entry : entries_)
        if (ShowsVariables(entry.rawCaption) && entry.rawCaption.contains(bracketedName, Qt::CaseInsensitive))
            UpdateCaption(entry);
}

void TPublicationMenu::VariableChanged(const QString& bracketedName, const QString& value)
{
    (void)value;
    RefreshCaptions(bracketedName);
}

ServiceReply TPublicationMenu::Perform(const ServiceCall& call)
{
    const MenuCommand* command = FindMenuCommand(call.Command);
    if (!command) {
        if (objects_ && TObjectCommands::Handles(call.Command))
            return objects_->Perform(call);
        return next_ ? next_->Perform(call) : ServiceReply{};
    }
    const QString name = call.Params.value(0);
    ServiceReply reply;
    QAction* action = FindItem(name);
    if (!action) {
        // As for page objects: the quoted name, "||" and the message.
        reply.LastError = QLatin1Char('"') + name + QStringLiteral("\"||") + Message(msgNoSuchObject);
        return reply;
    }
    ApplyChange(*action, command->change);
    return reply;
}

} // namespace tomeric
