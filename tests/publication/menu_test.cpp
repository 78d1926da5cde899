// Main menu and tray menu records.

#include "publication_test_support.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

using testing::Parse;

TEST(Menus, MainMenuWithSubmenusAndSeparators) {
    const TPublication pub = Parse({"MENUBEGIN",
                                    "MENUNAME=File",
                                    "MENUTEXT=&Fichier",
                                    "MENUBEGIN",
                                    "MENUNAME=Open",
                                    "MENUACTION=GotoPage \"Two\"¶Beep",
                                    "MENUKEY=65615",
                                    "MENUNAME=-",
                                    "MENUNAME=Quit",
                                    "MENUSTATE=1",
                                    "MENUEND",
                                    "MENUNAME=Sound",
                                    "MENUSTATE=15",
                                    "MENUVAR=[SoundOn]",
                                    "MENUEND"});
    ASSERT_TRUE(pub.mainMenu.has_value());
    const auto& top = *pub.mainMenu;
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(top[0].name, QStringLiteral("File"));
    EXPECT_EQ(top[0].caption, QStringLiteral("&Fichier"));
    ASSERT_EQ(top[0].items.size(), 3u);
    const TMenuItem& open = top[0].items[0];
    EXPECT_EQ(open.caption, QStringLiteral("Open"));
    EXPECT_EQ(open.action, QStringLiteral("GotoPage \"Two\"\r\nBeep"));
    EXPECT_EQ(open.shortcut, 79); // 16 bits
    EXPECT_TRUE(open.IsVisible());
    EXPECT_TRUE(open.IsEnabled());
    EXPECT_TRUE(top[0].items[1].IsSeparator());
    EXPECT_FALSE(top[0].items[2].IsEnabled());
    EXPECT_TRUE(top[1].ChecksItself());
    EXPECT_TRUE(top[1].IsChecked());
    EXPECT_EQ(top[1].varName, QStringLiteral("[SoundOn]"));
    EXPECT_FALSE(pub.trayMenu.has_value());
}

TEST(Menus, ItemRecordsOutsideAMenuAndSubmenusWithoutAnItemAreSkipped) {
    const TPublication pub = Parse({"MENUNAME=Stray", "MENUTEXT=x", "MENUEND", "MENUBEGIN",
                                    "MENUTEXT=nothing to set", "MENUBEGIN", "MENUNAME=A",
                                    "MENUEND", "MENUNAME=B"});
    ASSERT_TRUE(pub.mainMenu.has_value());
    // The submenu marker without an item is ignored, so its MENUEND closes
    // the main menu and B falls outside.
    ASSERT_EQ(pub.mainMenu->size(), 1u);
    EXPECT_EQ((*pub.mainMenu)[0].name, QStringLiteral("A"));
}

TEST(Menus, SettingsStillApplyInsideAMenuButObjectsDoNot) {
    const TPublication pub = Parse({"NEWPAGE=One", "OBJECTTYPE=5", "MENUBEGIN", "TITLE=Inside",
                                    "W=99", "MENUNAME=A", "MENUEND", "W=10"});
    EXPECT_EQ(pub.settings.title, QStringLiteral("Inside"));
    EXPECT_EQ(pub.pages[1].objects[0].width, 10);
}

TEST(Menus, AMenuLeftOpenEndsAtTheNextPage) {
    const TPublication pub = Parse({"MENUBEGIN", "MENUNAME=A", "NEWPAGE=One", "OBJECTTYPE=5",
                                    "MENUNAME=Stray"});
    ASSERT_EQ(pub.pages.size(), 2u);
    EXPECT_EQ(pub.pages[1].objects.size(), 1u);
    EXPECT_EQ(pub.mainMenu->size(), 1u);
}

TEST(Menus, TrayMenuOnlyForTrayApplications) {
    const auto text = {"TRAYMENUBEGIN", "MENUNAME=Show", "MENUBEGIN", "MENUNAME=Sub",
                       "MENUEND", "MENUEND", "MENUBEGIN", "MENUNAME=Main", "MENUEND"};
    const TPublication window = Parse(text);
    EXPECT_FALSE(window.trayMenu.has_value());
    ASSERT_TRUE(window.mainMenu.has_value());
    ASSERT_EQ(window.mainMenu->size(), 1u); // nothing of the tray menu leaks into it
    EXPECT_EQ((*window.mainMenu)[0].name, QStringLiteral("Main"));

    TParseOptions tray;
    tray.trayApplication = true;
    const TPublication trayApp = Parse(text, tray);
    ASSERT_TRUE(trayApp.trayMenu.has_value());
    ASSERT_EQ(trayApp.trayMenu->size(), 1u);
    EXPECT_EQ((*trayApp.trayMenu)[0].items.at(0).name, QStringLiteral("Sub"));
    EXPECT_EQ(trayApp.mainMenu->size(), 1u);
}

TEST(Menus, DeepSubmenusAreBounded) {
    QByteArray text = "MENUBEGIN\r\n";
    for (int i = 0; i < 3000; ++i) text += "MENUNAME=x\r\nMENUBEGIN\r\n";
    for (int i = 0; i < 3001; ++i) text += "MENUEND\r\n";
    text += "TITLE=Still read\r\n";
    const TPublication pub = ParsePublicationText(text);
    EXPECT_EQ(pub.settings.title, QStringLiteral("Still read"));
    int depth = 0;
    for (const auto* items = &*pub.mainMenu; !items->empty(); items = &items->back().items) ++depth;
    EXPECT_LE(depth, kMaxObjectNesting);
}

} // namespace
} // namespace tomeric
