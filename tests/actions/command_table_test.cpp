// The command table: the built-in group, lookup order, plug-in groups.

#include "actions/command_context.h"
#include "actions/command_table.h"

#include <gtest/gtest.h>

#include <set>

namespace tomeric {
namespace {

TEST(BuiltinCommands, AllTwoHundredAndOneInTheirOrder)
{
    TCommandTable table;
    RegisterBuiltinCommands(table);
    ASSERT_EQ(table.Groups().size(), 1u);
    const TCommandGroup& group = *table.Groups().front();
    EXPECT_EQ(group.Name, QStringLiteral("_QXK"));
    EXPECT_EQ(group.Kind, gkBuiltin);
    ASSERT_EQ(group.CommandCount(), 201);
    EXPECT_EQ(BuiltinCommandCount(), 201);
    EXPECT_EQ(group.Commands.front().Name, QStringLiteral("GotoPage"));
    EXPECT_EQ(group.Commands[10].Name, QStringLiteral("AlertBox"));
    EXPECT_EQ(group.Commands.back().Name, QStringLiteral("GetArrayInfo"));
}

TEST(BuiltinCommands, IdsAreUniqueAndEveryCommandHasAHandler)
{
    std::set<int> ids;
    std::set<QString> names;
    for (const TCommandRecord& record : CommandTable().BuiltinGroup()->Commands) {
        EXPECT_TRUE(ids.insert(record.Id).second) << "duplicate id " << record.Id;
        EXPECT_TRUE(names.insert(record.Name.toUpper()).second) << record.Name.toStdString();
        EXPECT_NE(record.Handler, nullptr) << record.Name.toStdString();
        EXPECT_LE(record.MinParams, record.MaxParams) << record.Name.toStdString();
        EXPECT_FALSE(record.Hidden);
        for (int slot = 1; slot <= record.MaxParams; ++slot)
            EXPECT_GE(record.Kind(slot), 1) << record.Name.toStdString() << " slot " << slot;
    }
}

struct IdCase {
    const char* name;
    int id;
};

class ObjectRouterIds : public testing::TestWithParam<IdCase> {};

// The object router selects the action by id, so these ids are fixed.
TEST_P(ObjectRouterIds, Fixed)
{
    const CommandMatch match = CommandTable().FindCommand(QString::fromLatin1(GetParam().name));
    ASSERT_TRUE(match) << GetParam().name;
    EXPECT_EQ(match.Command->Id, GetParam().id) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Router, ObjectRouterIds,
    testing::Values(IdCase{"RefreshObject", 69}, IdCase{"BrowserGoTo", 80}, IdCase{"BrowserStop", 86},
                    IdCase{"GIFPlay", 87}, IdCase{"GIFStop", 88}, IdCase{"TimerStart", 89},
                    IdCase{"TimerStop", 90}, IdCase{"ListBoxGetItem", 91}, IdCase{"ListBoxAddItem", 92},
                    IdCase{"ListBoxDeleteItem", 93}, IdCase{"ListBoxChangeItem", 94},
                    IdCase{"ListBoxSize", 95}, IdCase{"ListBoxFindItem", 96}, IdCase{"ListBoxSort", 97},
                    IdCase{"ListBoxMoveItem", 98}, IdCase{"TrackBarSetMin", 99},
                    IdCase{"TrackBarSetMax", 100}, IdCase{"MediaPlayerPlay", 101},
                    IdCase{"MediaPlayerRewind", 104}, IdCase{"FocusObject", 107},
                    IdCase{"GetObjectHandle", 108}, IdCase{"ArticleJumpTo", 116},
                    IdCase{"PictureMagnify", 122}, IdCase{"ObjectToFront", 124},
                    IdCase{"ObjectToBack", 125}, IdCase{"BrowserExport", 132}, IdCase{"FlashPlay", 138},
                    IdCase{"FlashStop", 139}, IdCase{"FlashRewind", 140}, IdCase{"FlashGotoFrame", 141},
                    IdCase{"BrowserFind", 163}, IdCase{"FlashForward", 170}, IdCase{"FlashBack", 171},
                    IdCase{"FlashGetVar", 172}, IdCase{"FlashSetVar", 173}, IdCase{"FlashPause", 180},
                    IdCase{"BrowserLoadFromStr", 187}, IdCase{"BrowserExecScript", 199},
                    IdCase{"BrowserGetElement", 200}, IdCase{"BrowserSetElement", 201}));

std::set<QString> NamesWithFlag(CommandFlag flag)
{
    std::set<QString> names;
    for (const TCommandRecord& record : CommandTable().BuiltinGroup()->Commands)
        if (record.Has(flag))
            names.insert(record.Name);
    return names;
}

TEST(BuiltinCommands, SelfEvaluatingCommands)
{
    EXPECT_EQ(NamesWithFlag(cfSelfEvaluating),
              (std::set<QString>{"Math", "SetVar", "Call", "DefineVar", "IfEx", "WhileEx"}));
}

TEST(BuiltinCommands, PageChangingCommands)
{
    EXPECT_EQ(NamesWithFlag(cfPageChange),
              (std::set<QString>{"GotoPage", "GotoPageNum", "GotoFirstPage", "GotoLastPage", "GotoPrevPage",
                                 "GotoNextPage", "ReturnToPage", "StartSlideShow", "PauseSlideShow",
                                 "StopSlideShow"}));
}

TEST(BuiltinCommands, BrowserLinkDenyList)
{
    EXPECT_EQ(NamesWithFlag(cfBrowserDenied),
              (std::set<QString>{"DOSCommand", "ExecuteAddOn", "FileCopy", "FileDelLine", "FileErase",
                                 "FileInsLine", "FileRead", "FileWrite", "SendKeys", "SaveVariables",
                                 "CreateFolder", "RegistryRead", "RegistryWrite", "SendMail", "ExtractFile",
                                 "ClickMouse", "Run", "RemoveFolder", "Suspend", "RunTomeric",
                                 "RunInRectangle"}));
}

struct CountCase {
    const char* name;
    int min;
    int max;
    const char* kinds;
};

class CountsAndKinds : public testing::TestWithParam<CountCase> {};

TEST_P(CountsAndKinds, AsRegistered)
{
    const CommandMatch match = CommandTable().FindCommand(QString::fromLatin1(GetParam().name));
    ASSERT_TRUE(match);
    EXPECT_EQ(match.Command->MinParams, GetParam().min);
    EXPECT_EQ(match.Command->MaxParams, GetParam().max);
    QString kinds;
    for (int slot = 1; slot <= match.Command->MaxParams; ++slot)
        kinds += QString::number(match.Command->Kind(slot));
    EXPECT_EQ(kinds, QString::fromLatin1(GetParam().kinds));
}

INSTANTIATE_TEST_SUITE_P(
    Samples, CountsAndKinds,
    testing::Values(CountCase{"Balloon", 1, 4, "2333"}, CountCase{"Return", 0, 0, ""},
                    CountCase{"PlayCartoonFile", 8, 8, "33335331"}, CountCase{"FileRead", 3, 3, "736"},
                    CountCase{"SetVar", 2, 2, "64"}, CountCase{"DefineVar", 5, 5, "61114"},
                    CountCase{"ClearVariables", 0, 1, "6"}, CountCase{"SendMail", 5, 6, "112211"},
                    CountCase{"TextWindow", 7, 7, "2333351"}, CountCase{"Loop", 3, 3, "336"},
                    CountCase{"If", 3, 3, "414"}, CountCase{"Call", 1, 1, "1"}));

TEST(FindCommand, NamesAreCaseInsensitive)
{
    EXPECT_EQ(CommandTable().FindCommand(QStringLiteral("gotopage")).Command->Name, QStringLiteral("GotoPage"));
    EXPECT_EQ(CommandTable().FindCommand(QStringLiteral("ALERTBOX")).Command->Id, 1);
    EXPECT_FALSE(CommandTable().FindCommand(QStringLiteral("GotoPage\"P2\"")));
    EXPECT_FALSE(CommandTable().FindCommand(QString()));
}

class CountingLibrary : public TPlugInLibrary {
public:
    explicit CountingLibrary(int* unloaded) : unloaded_(unloaded) {}
    ~CountingLibrary() override { ++*unloaded_; }
    void Execute(CommandContext&) override {}

private:
    int* unloaded_;
};

TEST(PlugInGroups, CannotReplaceABuiltinCommandAndTheFirstLoadedWins)
{
    TCommandTable table;
    RegisterBuiltinCommands(table);
    int unloaded = 0;
    TCommandGroup& first = table.AddCommandGroup("First", "first.dll", std::make_unique<CountingLibrary>(&unloaded), gkPlugIn);
    table.AddCommand(first, 1, "AlertBox", {1, 1}, 2, 2);
    table.AddCommand(first, 2, "Shout", {1}, 1, 1);
    TCommandGroup& second = table.AddCommandGroup("Second", "second.dll", std::make_unique<CountingLibrary>(&unloaded), gkPlugIn);
    table.AddCommand(second, 7, "Shout", {1}, 1, 1);

    EXPECT_EQ(table.FindCommand("alertbox").Group, table.BuiltinGroup());
    EXPECT_EQ(table.FindCommand("SHOUT").Group, &first);
    EXPECT_EQ(table.FindGroupByName("second"), &second);
    EXPECT_EQ(table.FindGroupByFile("FIRST.DLL"), &first);
    EXPECT_EQ(table.FindGroupByFile(QString()), nullptr);

    table.RemoveGroup(&first);
    EXPECT_EQ(unloaded, 1);
    EXPECT_EQ(table.FindCommand("Shout").Command->Id, 7);
    EXPECT_EQ(table.FindGroupByName("First"), nullptr);
}

TEST(PlugInGroups, HiddenRecordsAreSkippedAndNamesLoseTheirSpaces)
{
    TCommandTable table;
    TCommandGroup& group = table.AddCommandGroup("P", "p.dll", nullptr, gkPlugIn);
    TCommandRecord& hidden = table.AddCommand(group, 1, "Do It", {1}, 1, 1);
    EXPECT_EQ(hidden.Name, QStringLiteral("DoIt"));
    hidden.Hidden = true;
    EXPECT_FALSE(table.FindCommand("DoIt"));
    table.AddCommand(group, 2, "DoIt", {1}, 1, 1);
    EXPECT_EQ(table.FindCommand("doit").Command->Id, 2);
}

TEST(PlugInGroups, OnlyMaxParamsKindsAreKept)
{
    TCommandTable table;
    TCommandGroup& group = table.AddCommandGroup("P", QString(), nullptr, gkPlugIn);
    const TCommandRecord& record = table.AddCommand(group, 1, "Two", {3, 5, 7, 8}, 2, 2);
    EXPECT_EQ(record.Kind(1), 3);
    EXPECT_EQ(record.Kind(2), 5);
    EXPECT_EQ(record.Kind(3), 0);
    EXPECT_EQ(group.CommandCount(), 1);
}

} // namespace
} // namespace tomeric
