// The demo publication's source reads as the museum it describes: four
// rooms, a footer on the master page, the objects each room needs, the menu
// and the subroutines its scripts call.

#include "publication/publication_settings.h"
#include "publication_test_support.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace tomeric {
namespace {

TPublication ReadDemo() {
    QFile file(QStringLiteral(TOMERIC_SOURCE_DIR "/examples/demo/RUNTIME.PUB"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    // The source is UTF-8; packages hold it in Windows-1252.
    return ParsePublicationText(EncodeWindows1252(QString::fromUtf8(file.readAll())));
}

const TObjectRecord* FindObject(const std::vector<TObjectRecord>& objects, const QString& name) {
    for (const TObjectRecord& object : objects) {
        if (object.name == name) return &object;
        if (const TObjectRecord* member = FindObject(object.members, name)) return member;
    }
    return nullptr;
}

int CountType(const std::vector<TObjectRecord>& objects, int type) {
    int count = 0;
    for (const TObjectRecord& object : objects)
        count += (object.objType == type) + CountType(object.members, type);
    return count;
}

TEST(DemoPublication, HasFourRoomsAndAFooter) {
    const TPublication demo = ReadDemo();
    EXPECT_EQ(demo.settings.title, QStringLiteral("The Little Museum of Clocks"));
    EXPECT_EQ(demo.settings.screenWidth, 800);
    ASSERT_EQ(demo.pages.size(), 5u);
    EXPECT_EQ(demo.pages[1].name, QStringLiteral("Welcome"));
    EXPECT_EQ(demo.pages[2].name, QStringLiteral("Gallery"));
    EXPECT_EQ(demo.pages[3].name, QStringLiteral("Workshop"));
    EXPECT_EQ(demo.pages[4].name, QStringLiteral("Guestbook"));
    EXPECT_NE(FindObject(demo.pages[0].objects, QStringLiteral("FooterText")), nullptr);
    EXPECT_FALSE(demo.pages[1].background.showMasterPage);
    EXPECT_EQ(demo.pages[1].background.style, pbGradient);
}

TEST(DemoPublication, GalleryHasButtonsTextsShapesACheckBoxAndATimer) {
    const TPublication demo = ReadDemo();
    const auto& gallery = demo.pages[2].objects;
    EXPECT_GE(CountType(gallery, otPushBtn), 3);
    EXPECT_GE(CountType(gallery, otText), 3);
    EXPECT_GE(CountType(gallery, otRoundRect) + CountType(gallery, otCircle) +
                  CountType(gallery, otLine) + CountType(gallery, otRect), 4);
    const TObjectRecord* chime = FindObject(gallery, QStringLiteral("ChimeBox"));
    ASSERT_NE(chime, nullptr);
    EXPECT_EQ(chime->As<TCheckBoxProps>()->varName, QStringLiteral("[Chime]"));
    const TObjectRecord* ticker = FindObject(gallery, QStringLiteral("Ticker"));
    ASSERT_NE(ticker, nullptr);
    EXPECT_EQ(ticker->As<TTimerProps>()->interval, 1000);
    EXPECT_TRUE(ticker->As<TTimerProps>()->timerAction.contains(QStringLiteral("\r\nIf ")));
    const TObjectRecord* rod = FindObject(gallery, QStringLiteral("PendulumRod"));
    ASSERT_NE(rod, nullptr);
    EXPECT_GT(rod->height, 0); // placed from its end points
}

TEST(DemoPublication, WorkshopScriptsShowTheActionLanguage) {
    const TPublication demo = ReadDemo();
    QString scripts;
    std::function<void(const std::vector<TObjectRecord>&)> collect = [&](const auto& objects) {
        for (const TObjectRecord& object : objects) {
            if (const auto* button = object.As<TPushButtonProps>()) scripts += button->clickAction + u'\n';
            collect(object.members);
        }
    };
    collect(demo.pages[3].objects);
    scripts += demo.settings.subroutineAction;
    for (const char* word : {"SetVar ", "If ", "Else", "EndIf", "While ", "EndWhile", "Math ",
                             "GoSub ", "AlertBox ", "MessageBox "}) {
        EXPECT_TRUE(scripts.contains(QLatin1String(word))) << word;
    }
    EXPECT_FALSE(scripts.contains(QChar(0xB6))); // every "¶" became a line break
    for (const char* name : {"About", "Guide", "CountChimes"})
        EXPECT_TRUE(demo.HasSubroutine(QLatin1String(name))) << name;
}

TEST(DemoPublication, GuestbookGroupsItsStampAndHasInputs) {
    const TPublication demo = ReadDemo();
    const auto& guestbook = demo.pages[4].objects;
    const TObjectRecord* stamp = FindObject(guestbook, QStringLiteral("Stamp"));
    ASSERT_NE(stamp, nullptr);
    EXPECT_EQ(stamp->objType, otGroup);
    EXPECT_EQ(stamp->members.size(), 2u);
    EXPECT_EQ(CountType(guestbook, otEditField), 1);
    const TObjectRecord* rooms = FindObject(guestbook, QStringLiteral("RoomList"));
    ASSERT_NE(rooms, nullptr);
    EXPECT_EQ(rooms->As<TListBoxProps>()->items.split(QStringLiteral("\r\n")).size(), 3);
}

TEST(DemoPublication, MenuLeadsToEveryRoom) {
    const TPublication demo = ReadDemo();
    ASSERT_TRUE(demo.mainMenu.has_value());
    ASSERT_EQ(demo.mainMenu->size(), 3u);
    const TMenuItem& visit = (*demo.mainMenu)[0];
    EXPECT_EQ(visit.caption, QStringLiteral("&Visit"));
    int pageLinks = 0;
    for (const TMenuItem& item : visit.items) {
        if (item.action.startsWith(QStringLiteral("GotoPage"))) ++pageLinks;
    }
    EXPECT_EQ(pageLinks, 4);
    EXPECT_TRUE(std::any_of(visit.items.begin(), visit.items.end(),
                            [](const TMenuItem& i) { return i.IsSeparator(); }));
    const TMenuItem& chimes = (*demo.mainMenu)[1].items.at(0);
    EXPECT_TRUE(chimes.ChecksItself());
    EXPECT_TRUE(chimes.IsChecked());
}

TEST(DemoPublication, DescribesItsOwnSettings) {
    const auto differences = SettingsDifferingFromDefaults(ReadDemo().settings);
    EXPECT_TRUE(differences.contains({QStringLiteral("TITLE="), QStringLiteral("The Little Museum of Clocks")}));
    EXPECT_TRUE(differences.contains({QStringLiteral("SCREENHEIGHT="), QStringLiteral("600")}));
    EXPECT_TRUE(differences.contains({QStringLiteral("SHOWMARQUEE="), QStringLiteral("Yes")}));
    for (const auto& [key, value] : differences) EXPECT_NE(key, QStringLiteral("ALLOWESC="));
}

} // namespace
} // namespace tomeric
