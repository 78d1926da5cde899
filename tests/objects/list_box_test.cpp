// List boxes and combo boxes: items from TEXT= with variables, the binding
// of the selection to a variable (texts or numbers, several items joined
// with CRs, "|" to select several), the list commands, and the drawing of
// the items.

#include "objects/combo_box.h"
#include "objects/list_box.h"

#include "inputs_test_support.h"

namespace tomeric::testing {
namespace {

class ListTest : public InputsFixture {
protected:
    TObjectRecord ListRecord(const QString& items, bool multi = false, int varType = vtText)
    {
        TObjectRecord record = Record(otListBox, QStringLiteral("Fruits"), 10, 10, 120, 100);
        auto* props = record.As<TListBoxProps>();
        props->items = items;
        props->varName = QStringLiteral("Sel");
        props->varType = varType;
        props->multiSelect = multi;
        props->changeAction = QStringLiteral("Picked");
        props->dblClickAction = QStringLiteral("Opened");
        return record;
    }
    TTomericListBox* MakeList(const QString& items, bool multi = false, int varType = vtText,
                              bool sorted = false)
    {
        TObjectRecord record = ListRecord(items, multi, varType);
        record.As<TListBoxProps>()->sorted = sorted;
        auto* list = new TTomericListBox(&page, record, host);
        list->OnInit();
        return list;
    }
    TTomericComboBox* MakeCombo(const QString& items, int varType = vtText)
    {
        TObjectRecord record = Record(otComboBox, QStringLiteral("Choice"), 10, 150, 120, 40);
        record.lineWidth = 2;
        auto* props = record.As<TComboBoxProps>();
        props->items = items;
        props->varName = QStringLiteral("[Pick]");
        props->changeAction = QStringLiteral("Picked");
        props->varType = varType;
        auto* combo = new TTomericComboBox(&page, record, host);
        combo->OnInit();
        return combo;
    }
    static QString Sel() { return GetVariable(QStringLiteral("[Sel]")); }
    static void Select(TTomericListBox& list, int row, bool on = true) { list.List()->item(row)->setSelected(on); }
    static std::vector<int> Selected(TTomericListBox& list)
    {
        std::vector<int> rows;
        for (int row = 0; row < list.List()->count(); ++row)
            if (list.List()->item(row)->isSelected())
                rows.push_back(row);
        return rows;
    }
};

const QString kThree = QStringLiteral("Apple\r\nBanana\r\nCherry");

// ---- items ---------------------------------------------------------------------------------------

TEST_F(ListTest, ItemsComeFromTextWithVariablesAndFollowThoseVariables)
{
    SetVariable(QStringLiteral("[Lang]"), QStringLiteral("fr"));
    TTomericListBox* list = MakeList(QStringLiteral("Hello [Lang]\r\nBye"));
    EXPECT_EQ(list->Items(), QStringList({QStringLiteral("Hello fr"), QStringLiteral("Bye")}));
    SetVariable(QStringLiteral("[Sel]"), QStringLiteral("Bye"));
    SetVariable(QStringLiteral("[lang]"), QStringLiteral("de"));
    EXPECT_EQ(list->Items(), QStringList({QStringLiteral("Hello de"), QStringLiteral("Bye")}));
    EXPECT_EQ(Selected(*list), std::vector<int>{1}) << "the rebuilt list selects from its variable again";
}

TEST_F(ListTest, CaptionJoinsItemsWithBarsAndSetObjectCaptionReplacesThem)
{
    TTomericListBox* list = MakeList(kThree);
    EXPECT_EQ(list->FamilyInfo(QStringLiteral("CAPTION")), QStringLiteral("Apple|Banana|Cherry"));
    EXPECT_TRUE(list->SetObjectCaption(QStringLiteral("x|y")));
    EXPECT_EQ(list->Size(), 2);
}

TEST_F(ListTest, InitEmptiesTheVariableAndStartsWithoutSelection)
{
    SetVariable(QStringLiteral("[Sel]"), QStringLiteral("Banana"));
    TTomericListBox* list = MakeList(kThree);
    EXPECT_EQ(Sel(), QString());
    EXPECT_TRUE(Selected(*list).empty());
}

// ---- single selection ----------------------------------------------------------------------------

TEST_F(ListTest, ReaderSelectionWritesTheTextAndPostsTheChangeActionOnce)
{
    TTomericListBox* list = MakeList(kThree);
    Select(*list, 1);
    EXPECT_EQ(Sel(), QStringLiteral("Banana"));
    EXPECT_EQ(Runs(ekSelectionChanged), 1);
    SetVariable(QStringLiteral("[Sel]"), QStringLiteral("cherry"));
    EXPECT_EQ(Selected(*list), std::vector<int>{2}) << "texts match ignoring case";
    EXPECT_EQ(Runs(ekSelectionChanged), 1) << "a change from the variable runs nothing";
    SetVariable(QStringLiteral("[Sel]"), QStringLiteral("Durian"));
    EXPECT_TRUE(Selected(*list).empty());
}

TEST_F(ListTest, IndexListsHoldOneBasedNumbers)
{
    TTomericListBox* list = MakeList(kThree, false, vtIndex);
    Select(*list, 2);
    EXPECT_EQ(Sel(), QStringLiteral("3"));
    SetVariable(QStringLiteral("[Sel]"), QStringLiteral("1"));
    EXPECT_EQ(Selected(*list), std::vector<int>{0});
    SetVariable(QStringLiteral("[Sel]"), QStringLiteral("4"));
    EXPECT_TRUE(Selected(*list).empty()) << "a number outside the list selects nothing";
}

TEST_F(ListTest, DoubleClickPostsItsActionWithKind25)
{
    TTomericListBox* list = MakeList(kThree);
    emit list->List()->itemDoubleClicked(list->List()->item(0));
    EXPECT_EQ(Runs(ekListDoubleClick), 1);
    EXPECT_EQ(host.runs.back().text, QStringLiteral("Opened"));
}

// ---- multiple selection --------------------------------------------------------------------------

TEST_F(ListTest, MultiSelectJoinsSelectedItemsWithCarriageReturns)
{
    TTomericListBox* list = MakeList(kThree, true);
    Select(*list, 0);
    Select(*list, 2);
    EXPECT_EQ(Sel(), QStringLiteral("Apple\rCherry"));
}

TEST_F(ListTest, BarSeparatedValueSelectsExactlyThoseItems)
{
    TTomericListBox* list = MakeList(QStringLiteral("Apple\r\nBanana\r\nCherry\r\nDate"), true);
    Select(*list, 1);
    SetVariable(QStringLiteral("[Sel]"), QStringLiteral("Cherry|apple"));
    EXPECT_EQ(Selected(*list), (std::vector<int>{0, 2}));
    SetVariable(QStringLiteral("[Sel]"), QStringLiteral("Date\r\nBanana"));
    EXPECT_EQ(Selected(*list), (std::vector<int>{1, 3}));
}

TEST_F(ListTest, MultiSelectIndexListUsesNumbersBothWays)
{
    TTomericListBox* list = MakeList(kThree, true, vtIndex);
    SetVariable(QStringLiteral("[Sel]"), QStringLiteral("3|1"));
    EXPECT_EQ(Selected(*list), (std::vector<int>{0, 2}));
    Select(*list, 1);
    EXPECT_EQ(Sel(), QStringLiteral("1\r2\r3"));
}

// ---- commands ------------------------------------------------------------------------------------

struct TCommandCase {
    const char* name;
    std::function<void(TTomericListBox&)> command;
    const char* itemsAfter; // joined with "|"
};

class ListCommands : public ListTest, public ::testing::WithParamInterface<TCommandCase> {};

TEST_P(ListCommands, ChangeTheItemsAsScriptsAsk)
{
    TTomericListBox* list = MakeList(kThree, true);
    Select(*list, 0);
    Select(*list, 2);
    GetParam().command(*list);
    EXPECT_EQ(list->Items().join(u'|'), QString::fromUtf8(GetParam().itemsAfter));
}

INSTANTIATE_TEST_SUITE_P(Commands, ListCommands, ::testing::Values(
    TCommandCase{"AddBefore", [](TTomericListBox& l) { l.AddItem("2", "Kiwi"); }, "Apple|Kiwi|Banana|Cherry"},
    TCommandCase{"AddOutsideAppends", [](TTomericListBox& l) { l.AddItem("9", "Kiwi"); }, "Apple|Banana|Cherry|Kiwi"},
    TCommandCase{"AddWordAppends", [](TTomericListBox& l) { l.AddItem("x", "Kiwi"); }, "Apple|Banana|Cherry|Kiwi"},
    TCommandCase{"AddAll", [](TTomericListBox& l) { l.AddItem("all", "K|L\r\nM"); }, "Apple|Banana|Cherry|K|L|M"},
    TCommandCase{"DeleteOne", [](TTomericListBox& l) { l.DeleteItem("2"); }, "Apple|Cherry"},
    TCommandCase{"DeleteOutside", [](TTomericListBox& l) { l.DeleteItem("0"); }, "Apple|Banana|Cherry"},
    TCommandCase{"DeleteSelected", [](TTomericListBox& l) { l.DeleteItem("Selected"); }, "Banana"},
    TCommandCase{"DeleteAll", [](TTomericListBox& l) { l.DeleteItem("ALL"); }, ""},
    TCommandCase{"Change", [](TTomericListBox& l) { l.ChangeItem("3", "Date"); }, "Apple|Banana|Date"},
    TCommandCase{"Move", [](TTomericListBox& l) { l.MoveItem("1", "3"); }, "Banana|Cherry|Apple"},
    TCommandCase{"MoveSame", [](TTomericListBox& l) { l.MoveItem("2", "2"); }, "Apple|Banana|Cherry"},
    TCommandCase{"SortOnce", [](TTomericListBox& l) { l.ChangeItem("1", "zeta"); l.Sort(std::nullopt); }, "Banana|Cherry|zeta"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListTest, GetFindAndSizeAnswerWithOneBasedNumbers)
{
    TTomericListBox* list = MakeList(kThree);
    EXPECT_EQ(list->GetItem(QStringLiteral("2")), QStringLiteral("Banana"));
    EXPECT_EQ(list->GetItem(QStringLiteral("ALL")), QStringLiteral("Apple|Banana|Cherry"));
    EXPECT_EQ(list->GetItem(QStringLiteral("4")), QString());
    EXPECT_EQ(list->GetItem(QStringLiteral("first")), QString());
    EXPECT_EQ(list->FindItem(QStringLiteral("cherry")), 3);
    EXPECT_EQ(list->FindItem(QStringLiteral("Durian")), 0);
    EXPECT_EQ(list->Size(), 3);
}

TEST_F(ListTest, SortedListKeepsNewItemsInPlaceAndSortCanSwitchItOff)
{
    TTomericListBox* list = MakeList(QStringLiteral("pear\r\nApple\r\nfig"), false, vtText, true);
    EXPECT_EQ(list->Items().join(u'|'), QStringLiteral("Apple|fig|pear"));
    list->AddItem(QStringLiteral("1"), QStringLiteral("banana"));
    EXPECT_EQ(list->Items().join(u'|'), QStringLiteral("Apple|banana|fig|pear"));
    list->Sort(QStringLiteral("No"));
    EXPECT_FALSE(list->Sorted());
    list->AddItem(QString(), QStringLiteral("Aaa"));
    EXPECT_EQ(list->Items().last(), QStringLiteral("Aaa"));
    list->Sort(QStringLiteral("True"));
    EXPECT_TRUE(list->Sorted());
    EXPECT_EQ(list->Items().first(), QStringLiteral("Aaa"));
}

TEST_F(ListTest, CommandsReselectFromTheVariable)
{
    TTomericListBox* list = MakeList(kThree);
    SetVariable(QStringLiteral("[Sel]"), QStringLiteral("Cherry"));
    list->AddItem(QStringLiteral("1"), QStringLiteral("Kiwi"));
    EXPECT_EQ(Selected(*list), std::vector<int>{3});
}

// ---- drawing -------------------------------------------------------------------------------------

TEST_F(ListTest, ItemsDrawOnTheFillColourAndTheSelectedOneInHighlight)
{
    TObjectRecord record = ListRecord(kThree);
    record.fillColor = 0x0000FFFF; // yellow
    auto* list = new TTomericListBox(&page, record, host);
    list->OnInit();
    SetVariable(QStringLiteral("[Sel]"), QStringLiteral("Banana"));
    page.show();
    const int rowHeight = QFontMetrics(list->font()).height();
    EXPECT_EQ(list->List()->visualItemRect(list->List()->item(1)).height(), rowHeight);
    const QImage image = RenderWidget(*list);
    const QColor highlight = list->List()->palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(image.pixelColor(100, 1 + rowHeight + rowHeight / 2), highlight);
    EXPECT_EQ(image.pixelColor(100, 1 + rowHeight / 2), QColor(255, 255, 0));
    EXPECT_EQ(image.pixelColor(100, 90), QColor(255, 255, 0)) << "below the last item: the fill colour";
}

// ---- combo boxes ---------------------------------------------------------------------------------

TEST_F(ListTest, ComboWithIndexVariableZeroShowsNoSelection)
{
    TTomericComboBox* combo = MakeCombo(kThree, vtIndex);
    SetVariable(QStringLiteral("[Pick]"), QStringLiteral("2"));
    EXPECT_EQ(combo->Combo()->currentIndex(), 1);
    SetVariable(QStringLiteral("[Pick]"), QStringLiteral("0"));
    EXPECT_EQ(combo->Combo()->currentIndex(), -1);
    EXPECT_EQ(combo->Value(), QString());
}

TEST_F(ListTest, ComboReaderChoiceWritesTheVariableAndPostsKind18)
{
    TTomericComboBox* combo = MakeCombo(kThree);
    combo->Combo()->setCurrentIndex(2);
    emit combo->Combo()->activated(2);
    EXPECT_EQ(GetVariable(QStringLiteral("[Pick]")), QStringLiteral("Cherry"));
    EXPECT_EQ(Runs(ekSelectionChanged), 1);
}

TEST_F(ListTest, ComboHeightIsItsInnerControlAndBorderAndLongItemsAreCut)
{
    TTomericComboBox* combo = MakeCombo(kThree);
    EXPECT_EQ(combo->height(), combo->Combo()->height() + 4);
    EXPECT_EQ(combo->Combo()->y(), 2);
    combo->AddItem(QStringLiteral("ALL"), QString(300, u'x'));
    EXPECT_EQ(combo->Size(), 4) << "ALL adds one item to a combo box";
    EXPECT_EQ(combo->GetItem(QStringLiteral("4")).size(), 255);
}

} // namespace
} // namespace tomeric::testing
