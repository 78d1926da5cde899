// The family commands through the object command service: lists and combo
// boxes, track bars and articles; each acts only on its own kind.

#include "objects/articles.h"
#include "objects/combo_box.h"
#include "objects/list_box.h"
#include "objects/object_commands.h"
#include "objects/object_factory.h"
#include "objects/track_bar.h"
#include "objects_test_support.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

using testing::ObjectsApplication;
using testing::Record;
using testing::TTestObjectHost;
using testing::TTestPage;
using testing::TwoPageWorld;

class FamilyCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ObjectsApplication();
        page = std::make_unique<TTestPage>(QSize(300, 200));
        other = std::make_unique<TTestPage>(QSize(300, 200));
        TObjectWorld world = TwoPageWorld(page.get(), other.get(), broughtUp);
        commands = std::make_unique<TObjectCommands>(world);
    }

    TTomericObj* AddList(int type, const QString& name, const QString& items)
    {
        TObjectRecord record = Record(type, name, 10, 10, 120, 80);
        if (auto* list = record.As<TListBoxProps>())
            list->items = items;
        if (auto* combo = record.As<TComboBoxProps>())
            combo->items = items;
        TTomericObj* list =
            type == otListBox ? CreateListBox(page.get(), record, host) : CreateComboBox(page.get(), record, host);
        list->OnInit(); // items are read when the publication is loaded
        return list;
    }

    QString Run(const QString& command, const QStringList& params, int slot = 0)
    {
        ServiceCall call;
        call.Command = command;
        call.Params = params;
        last = commands->Perform(call);
        return slot && last.Results.count(slot) ? last.Results.at(slot) : QString();
    }

    TTestObjectHost host;
    std::unique_ptr<TTestPage> page, other;
    std::unique_ptr<TObjectCommands> commands;
    ServiceReply last;
    std::vector<int> broughtUp;
};

TEST_F(FamilyCommands, ListBoxCaptionJoinsItsItems)
{
    AddList(otListBox, "List", "one\r\ntwo\r\nthree");
    EXPECT_EQ(Run("GetObjectInfo", {"List", "Caption", "[C]"}, 3), QStringLiteral("one|two|three"));
    EXPECT_EQ(Run("ListBoxSize", {"List", "[N]"}, 2), QStringLiteral("3"));
}

TEST_F(FamilyCommands, ListItemsAreNumberedFromOne)
{
    AddList(otListBox, "List", "one\r\ntwo\r\nthree");
    EXPECT_EQ(Run("ListBoxGetItem", {"List", "2", "[I]"}, 3), QStringLiteral("two"));
    EXPECT_EQ(Run("ListBoxGetItem", {"List", "9", "[I]"}, 3), QString());
    EXPECT_EQ(Run("ListBoxFindItem", {"List", "THREE", "[P]"}, 3), QStringLiteral("3"));
    EXPECT_EQ(Run("ListBoxFindItem", {"List", "four", "[P]"}, 3), QStringLiteral("0"));
    Run("ListBoxAddItem", {"List", "1", "zero"});
    Run("ListBoxAddItem", {"List", "99", "last"}); // out of range: appended
    Run("ListBoxChangeItem", {"List", "3", "TWO"});
    Run("ListBoxDeleteItem", {"List", "2"});
    EXPECT_EQ(Run("ListBoxGetItem", {"List", "ALL", "[I]"}, 3), QStringLiteral("zero|TWO|three|last"));
    Run("ListBoxMoveItem", {"List", "4", "1"});
    EXPECT_EQ(Run("ListBoxGetItem", {"List", "1", "[I]"}, 3), QStringLiteral("last"));
    Run("ListBoxSort", {"List"});
    EXPECT_EQ(Run("ListBoxGetItem", {"List", "ALL", "[I]"}, 3), QStringLiteral("last|three|TWO|zero"));
    Run("ListBoxDeleteItem", {"List", "ALL"});
    EXPECT_EQ(Run("ListBoxSize", {"List", "[N]"}, 2), QStringLiteral("0"));
}

TEST_F(FamilyCommands, ComboBoxesTakeTheListCommandsAndCaptions)
{
    AddList(otComboBox, "Combo", "b\r\na");
    Run("ListBoxAddItem", {"Combo", "", "c"});
    EXPECT_EQ(Run("ListBoxSize", {"Combo", "[N]"}, 2), QStringLiteral("3"));
    Run("SetObjectCaption", {"Combo", "x|y"});
    EXPECT_FALSE(last.LastError.has_value());
    EXPECT_EQ(Run("GetObjectInfo", {"Combo", "Caption", "[C]"}, 3), QStringLiteral("x|y"));
}

TEST_F(FamilyCommands, ListCommandsLeaveOtherKindsAlone)
{
    CreateObject(page.get(), Record(otRect, "Box", 0, 0, 10, 10), host);
    Run("ListBoxSize", {"Box", "[N]"});
    EXPECT_FALSE(last.Results.count(2));
    EXPECT_FALSE(last.LastError.has_value());
}

TEST_F(FamilyCommands, TrackBarRange)
{
    TObjectRecord record = Record(otTrackBar, "Bar", 10, 10, 150, 30);
    auto* bar = static_cast<TTomericTrackBar*>(CreateTrackBar(page.get(), record, host));
    Run("TrackBarSetMin", {"Bar", "10"});
    Run("TrackBarSetMax", {"Bar", "50"});
    EXPECT_EQ(bar->Minimum(), 10);
    EXPECT_EQ(bar->Maximum(), 50);
    Run("TrackBarSetMax", {"Bar", "not a number"});
    EXPECT_EQ(bar->Maximum(), 50);
}

TEST_F(FamilyCommands, ArticleOnAnotherPageBringsThatPageUpFirst)
{
    CreateArticle(other.get(), Record(otArticle, "Story", 0, 0, 100, 80), host);
    CreateArticle(page.get(), Record(otArticle, "Here", 0, 0, 100, 80), host);
    Run("ArticleJumpTo", {"Here", "start"});
    EXPECT_TRUE(broughtUp.empty());
    Run("ArticleJumpTo", {"story", "start"});
    EXPECT_EQ(broughtUp, std::vector<int>{2});
}

} // namespace
} // namespace tomeric
