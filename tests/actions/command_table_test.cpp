// The command table: the built-in group, lookup order, plug-in groups.

#include "actions/command_context.h"
#include "actions/command_table.h"

#include <gtest/gtest.h>

#include <set>
#include <type_traits>

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

// What runs is decided when the table is built, once: a program chooses
// what a handler does through the services it hands the core, never by
// pointing a row somewhere else later.
TEST(BuiltinCommands, EveryBuildOfTheTableRunsTheSameHandlers)
{
    TCommandTable first, second;
    RegisterBuiltinCommands(first);
    RegisterBuiltinCommands(second);
    const auto& a = first.BuiltinGroup()->Commands;
    const auto& b = second.BuiltinGroup()->Commands;
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].Name, b[i].Name);
        EXPECT_EQ(a[i].Handler, b[i].Handler) << a[i].Name.toStdString();
    }
    // The process-wide table is one of these builds.
    for (const TCommandRecord& record : a)
        EXPECT_EQ(CommandTable().FindCommand(record.Name).Command->Handler, record.Handler)
            << record.Name.toStdString();
    static_assert(std::is_same_v<decltype(first.AddCommand(*first.BuiltinGroup(), 0, {}, {}, 0, 0)),
                                 const TCommandRecord&>,
                  "a record cannot be changed once it is in the table");
}

// The evaluator recognises blocks and Call by id: each named id is its row's.
TEST(BuiltinCommands, IdsTheEvaluatorKnowsAreTheirRows)
{
    const std::pair<const char*, int> named[] = {{"If", ciIf},     {"IfEx", ciIfEx}, {"While", ciWhile},
                                                 {"WhileEx", ciWhileEx}, {"Loop", ciLoop}, {"Call", ciCall}};
    for (const auto& [name, id] : named)
        EXPECT_EQ(CommandTable().FindCommand(QString::fromLatin1(name)).Command->Id, id) << name;
}

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
    const TCommandRecord& hidden = table.AddCommand(group, 1, "Do It", {1}, 1, 1, nullptr, cfNone, true);
    EXPECT_EQ(hidden.Name, QStringLiteral("DoIt"));
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
