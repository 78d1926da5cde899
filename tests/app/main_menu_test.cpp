// The publication's menus: built from the item trees, with their states,
// shortcuts and check marks; clicks run the item's action; the menu-item
// commands; captions that show variables follow them.

#include "app/main_menu.h"

#include "actions/action_eval.h"
#include "actions/headless_services.h"
#include "vars/variables.h"

#include "gui_application.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace tomeric {
namespace {

constexpr int kVisibleEnabled = kMenuVisible | kMenuEnabled;

TMenuItem Item(const QString& name, const QString& action = {}, int state = kVisibleEnabled)
{
    TMenuItem item;
    item.name = name;
    item.caption = name;
    item.action = action;
    item.state = state;
    return item;
}

TMenuItem Separator()
{
    TMenuItem item = Item(QStringLiteral("N1"));
    item.caption = QStringLiteral("-");
    return item;
}

TMenuItem Submenu(const QString& name, std::vector<TMenuItem> items)
{
    TMenuItem item = Item(name);
    item.items = std::move(items);
    return item;
}

class MenuTest : public ::testing::Test {
protected:
    MenuTest()
        : headless_([this](const QString& line) { lines_.append(line); }),
          menu_([this](const QString& text, const QString& name, uint8_t kind) {
              runs_.push_back({name, kind});
              RunActionText(services_, text, name, 0, kind);
          })
    {
        testing::GuiApplication();
        ResetVariableStore();
        services_ = headless_.All();
        services_.Objects = &menu_;
        menu_.SetNext(&headless_);
    }

    void Run(const QString& script) { RunActionText(services_, script, QStringLiteral("test"), 0, 1); }

    struct RunRecord {
        QString sourceName;
        uint8_t kind;
    };
    QStringList lines_;
    HeadlessServices headless_;
    Services services_;
    TPublicationMenu menu_;
    std::vector<RunRecord> runs_;
};

// ---- building ------------------------------------------------------------------------

TEST_F(MenuTest, TopItemsBecomeTheBarAndNestedItemsItsSubmenus)
{
    TPublication publication;
    publication.mainMenu = std::vector<TMenuItem>{
        Submenu(QStringLiteral("&File"), {Item(QStringLiteral("Open")), Separator(), Item(QStringLiteral("Quit"))}),
        Item(QStringLiteral("Help"))};
    menu_.Build(publication);

    ASSERT_NE(menu_.MenuBar(), nullptr);
    EXPECT_EQ(menu_.TrayMenu(), nullptr);
    const QList<QAction*> top = menu_.MenuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), QStringLiteral("&File"));
    ASSERT_NE(top[0]->menu(), nullptr);
    const QList<QAction*> file = top[0]->menu()->actions();
    ASSERT_EQ(file.size(), 3);
    EXPECT_EQ(file[0]->text(), QStringLiteral("Open"));
    EXPECT_TRUE(file[1]->isSeparator());
    EXPECT_EQ(file[2]->text(), QStringLiteral("Quit"));
    EXPECT_EQ(top[1]->menu(), nullptr);
}

TEST_F(MenuTest, NoMenusWithoutMenuRecordsAndATrayMenuOfItsOwn)
{
    TPublication publication;
    menu_.Build(publication);
    EXPECT_EQ(menu_.MenuBar(), nullptr);
    EXPECT_EQ(menu_.TrayMenu(), nullptr);

    publication.trayMenu = std::vector<TMenuItem>{Item(QStringLiteral("Restore")), Item(QStringLiteral("Quit"))};
    menu_.Build(publication);
    EXPECT_EQ(menu_.MenuBar(), nullptr);
    ASSERT_NE(menu_.TrayMenu(), nullptr);
    EXPECT_EQ(menu_.TrayMenu()->actions().size(), 2);
}

struct StateCase {
    int state;
    bool visible, enabled, checkable, checked;
};

TEST_F(MenuTest, StateBitsGiveVisibilityEnablingAndCheckMarks)
{
    const StateCase cases[] = {
        {3, true, true, false, false},  {1, true, false, false, false}, {2, false, true, false, false},
        {0, false, false, false, false}, {11, true, true, true, false},  {15, true, true, true, true},
        {7, true, true, true, true},    // checked by the publication, not by clicks
    };
    for (const StateCase& c : cases) {
        TPublication publication;
        publication.mainMenu = std::vector<TMenuItem>{Item(QStringLiteral("Item"), {}, c.state)};
        menu_.Build(publication);
        QAction* action = menu_.FindItem(QStringLiteral("Item"));
        ASSERT_NE(action, nullptr);
        SCOPED_TRACE(c.state);
        EXPECT_EQ(action->isVisible(), c.visible);
        // A hidden item reads as disabled; its own enabling shows once shown.
        action->setVisible(true);
        EXPECT_EQ(action->isEnabled(), c.enabled);
        EXPECT_EQ(action->isCheckable(), c.checkable);
        EXPECT_EQ(action->isChecked(), c.checked);
    }
}

TEST(MenuShortcuts, StoredKeyCodesBecomeKeySequences)
{
    const struct {
        int code;
        const char* expected;
    } cases[] = {
        {0x4000 | 'O', "Ctrl+O"},   {0x70, "F1"},           {0x7B, "F12"},
        {0x6000 | 'S', "Ctrl+Shift+S"}, {0x8000 | 0x2E, "Alt+Del"}, {0x2000 | 0x0D, "Shift+Return"},
        {0x4000 | '5', "Ctrl+5"},   {0x65, "5"},            {0x24, "Home"},
        {0, ""},                    {0x4000 | 0xFF, ""},    {0x4000, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortcutToKeySequence(c.code).toString(QKeySequence::PortableText),
                  QString::fromLatin1(c.expected))
            << c.code;
}

TEST_F(MenuTest, ItemsCarryTheirShortcut)
{
    TPublication publication;
    TMenuItem open = Item(QStringLiteral("Open"));
    open.shortcut = 0x4000 | 'O';
    publication.mainMenu = std::vector<TMenuItem>{Submenu(QStringLiteral("File"), {open})};
    menu_.Build(publication);
    EXPECT_EQ(menu_.FindItem(QStringLiteral("open"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
}

// ---- check marks and their variables -------------------------------------------------

TEST_F(MenuTest, CheckedSelfCheckingItemsPublishTheirVariableOnLoad)
{
    TMenuItem sound = Item(QStringLiteral("Sound"), {}, kVisibleEnabled | kMenuAutoCheck | kMenuChecked);
    sound.varName = QStringLiteral("[Sound]");
    TMenuItem music = Item(QStringLiteral("Music"), {}, kVisibleEnabled | kMenuAutoCheck);
    music.varName = QStringLiteral("[Music]");
    TMenuItem fixed = Item(QStringLiteral("Fixed"), {}, kVisibleEnabled | kMenuChecked);
    fixed.varName = QStringLiteral("[Fixed]");
    TMenuItem trayItem = Item(QStringLiteral("Tray"), {}, kVisibleEnabled | kMenuAutoCheck | kMenuChecked);
    trayItem.varName = QStringLiteral("[Tray]");
    TPublication publication;
    publication.mainMenu = std::vector<TMenuItem>{Submenu(QStringLiteral("Options"), {sound, music, fixed})};
    publication.trayMenu = std::vector<TMenuItem>{trayItem};

    QMainWindow window;
    menu_.Install(window, publication);
    EXPECT_EQ(window.menuBar(), menu_.MenuBar());
    EXPECT_EQ(GetVariable(QStringLiteral("[Sound]")), QStringLiteral("Checked"));
    EXPECT_EQ(GetVariable(QStringLiteral("[Tray]")), QStringLiteral("Checked"));
    EXPECT_EQ(GetVariable(QStringLiteral("[Music]")), QString());
    EXPECT_EQ(GetVariable(QStringLiteral("[Fixed]")), QString());
}

TEST_F(MenuTest, TheWindowGrowsByTheBarSoThePublicationKeepsItsSize)
{
    QMainWindow window;
    window.setFixedSize(320, 200);
    TPublication publication;
    publication.mainMenu = std::vector<TMenuItem>{Item(QStringLiteral("Help"))};
    menu_.Install(window, publication);
    EXPECT_EQ(window.width(), 320);
    EXPECT_EQ(window.height(), 200 + menu_.MenuBar()->sizeHint().height());
}

TEST_F(MenuTest, ClickingASelfCheckingItemTogglesItsMarkAndVariable)
{
    TMenuItem sound = Item(QStringLiteral("Sound"), {}, kVisibleEnabled | kMenuAutoCheck | kMenuChecked);
    sound.varName = QStringLiteral("[Sound]");
    TPublication publication;
    publication.mainMenu = std::vector<TMenuItem>{sound};
    menu_.Build(publication);
    QAction* action = menu_.FindItem(QStringLiteral("Sound"));

    action->trigger();
    EXPECT_FALSE(action->isChecked());
    EXPECT_EQ(GetVariable(QStringLiteral("[Sound]")), QString());
    action->trigger();
    EXPECT_TRUE(action->isChecked());
    EXPECT_EQ(GetVariable(QStringLiteral("[Sound]")), QStringLiteral("Checked"));
}

TEST_F(MenuTest, AMarkSetByThePublicationStaysWhenClicked)
{
    TPublication publication;
    publication.mainMenu = std::vector<TMenuItem>{Item(QStringLiteral("Fixed"), {}, kVisibleEnabled | kMenuChecked)};
    menu_.Build(publication);
    QAction* action = menu_.FindItem(QStringLiteral("Fixed"));
    action->trigger();
    EXPECT_TRUE(action->isChecked());
}

// ---- clicks run actions --------------------------------------------------------------

TEST_F(MenuTest, MainMenuClicksRunTheActionAsSource23AndTrayClicksAs24)
{
    TPublication publication;
    publication.mainMenu = std::vector<TMenuItem>{
        Submenu(QStringLiteral("File"), {Item(QStringLiteral("Open"), QStringLiteral("SetVar \"[Clicked]\" \"open\""))})};
    publication.trayMenu = std::vector<TMenuItem>{
        Item(QStringLiteral("Restore"), QStringLiteral("SetVar \"[Clicked]\" \"restore\""))};
    menu_.Build(publication);

    menu_.FindItem(QStringLiteral("Open"))->trigger();
    EXPECT_EQ(GetVariable(QStringLiteral("[Clicked]")), QStringLiteral("open"));
    ASSERT_EQ(runs_.size(), 1u);
    EXPECT_EQ(runs_[0].sourceName, QStringLiteral("Open"));
    EXPECT_EQ(runs_[0].kind, 23);

    menu_.FindItem(QStringLiteral("Restore"))->trigger();
    EXPECT_EQ(GetVariable(QStringLiteral("[Clicked]")), QStringLiteral("restore"));
    ASSERT_EQ(runs_.size(), 2u);
    EXPECT_EQ(runs_[1].kind, 24);
}

TEST_F(MenuTest, AnItemWithoutActionRunsNothing)
{
    TPublication publication;
    publication.mainMenu = std::vector<TMenuItem>{Item(QStringLiteral("About"))};
    menu_.Build(publication);
    menu_.FindItem(QStringLiteral("About"))->trigger();
    EXPECT_TRUE(runs_.empty());
}

// ---- menu-item commands --------------------------------------------------------------

TEST_F(MenuTest, TheFourCommandsFindItemsByNameInAnyCase)
{
    TPublication publication;
    publication.mainMenu = std::vector<TMenuItem>{Submenu(QStringLiteral("FileMenu"), {Item(QStringLiteral("Open"))})};
    publication.trayMenu = std::vector<TMenuItem>{Item(QStringLiteral("Restore"))};
    menu_.Build(publication);
    QAction* open = menu_.FindItem(QStringLiteral("Open"));
    QAction* file = menu_.FindItem(QStringLiteral("FileMenu"));
    QAction* restore = menu_.FindItem(QStringLiteral("Restore"));

    Run(QStringLiteral("HideMenuItem \"OPEN\""));
    EXPECT_FALSE(open->isVisible());
    Run(QStringLiteral("ShowMenuItem \"open\""));
    EXPECT_TRUE(open->isVisible());
    Run(QStringLiteral("DisableMenuItem \"filemenu\""));
    EXPECT_FALSE(file->isEnabled());
    Run(QStringLiteral("EnableMenuItem \"FileMenu\""));
    EXPECT_TRUE(file->isEnabled());
    Run(QStringLiteral("HideMenuItem \"Restore\""));
    EXPECT_FALSE(restore->isVisible());
    EXPECT_EQ(LastError(), QString());
    EXPECT_TRUE(lines_.filter(QStringLiteral("MenuItem")).isEmpty());
}

TEST_F(MenuTest, AMissingItemIsReportedInLastError)
{
    TPublication publication;
    publication.mainMenu = std::vector<TMenuItem>{Item(QStringLiteral("Open"))};
    menu_.Build(publication);
    Run(QStringLiteral("DisableMenuItem \"Nothing\""));
    EXPECT_EQ(LastError(), QStringLiteral("\"Nothing\"||Cet objet n'existe pas."));
    EXPECT_TRUE(menu_.FindItem(QStringLiteral("Open"))->isEnabled());
}

TEST_F(MenuTest, OtherObjectCommandsGoOnToTheNextService)
{
    menu_.Build(TPublication());
    Run(QStringLiteral("FocusObject \"Field\""));
    EXPECT_TRUE(lines_.contains(QStringLiteral("CALL FocusObject \"Field\"")));
}

// ---- captions ------------------------------------------------------------------------

TEST_F(MenuTest, CaptionsShowVariablesAndFollowTheirChanges)
{
    TPublication publication;
    TMenuItem score = Item(QStringLiteral("Score"));
    score.caption = QStringLiteral("Score: [Score]");
    publication.mainMenu = std::vector<TMenuItem>{score, Item(QStringLiteral("Plain [text"))};
    SetVariable(QStringLiteral("[Score]"), QStringLiteral("3"));
    menu_.Build(publication);
    QAction* action = menu_.FindItem(QStringLiteral("Score"));
    EXPECT_EQ(action->text(), QStringLiteral("Score: 3"));

    Run(QStringLiteral("SetVar \"[Score]\" \"12\""));
    EXPECT_EQ(action->text(), QStringLiteral("Score: 12"));
    SetVariable(QStringLiteral("[score]"), QStringLiteral("40"));
    EXPECT_EQ(action->text(), QStringLiteral("Score: 40"));
}

} // namespace
} // namespace tomeric
