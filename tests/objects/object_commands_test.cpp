// The object commands as a script sees them: lookup and its errors,
// GetObjectInfo on every family, the restyling commands with their colour
// words, show and hide with effects, moving, sizing, stacking, focus,
// handles and the family commands.

#include "objects/object_commands.h"
#include "objects/object_factory.h"
#include "objects/shapes.h"
#include "objects/timer_object.h"
#include "objects_test_support.h"
#include "platform/string_table.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

using testing::ObjectsApplication;
using testing::Record;
using testing::TTestObjectHost;
using testing::TTestPage;
using testing::TwoPageWorld;

const QString kNotFound = QStringLiteral("Cet objet n'existe pas.");

// ---- colour and font words (data-driven) -------------------------------------------------

struct ColourCase {
    const char* text;
    std::optional<std::int32_t> colour;
};

TEST(CommandColours, NamesWithoutPrefixAndRgbTriples)
{
    const ColourCase cases[] = {
        {"Red", 0x0000FF},
        {"red", 0x0000FF},
        {"Navy", 0x800000},
        {"White", 0xFFFFFF},
        {"Black", 0x000000},
        {"Lime", 0x00FF00},
        {"Fuchsia", 0xFF00FF},
        {"MoneyGreen", 0xC0DCC0},
        {"BtnFace", SystemColour(15)},
        {"WindowText", SystemColour(8)},
        {"InfoBk", SystemColour(24)},
        {"clRed", 0x0000FF},          // the full identifier as well
        {"255,0,0", 0x0000FF},        // red, green, blue
        {"0,128,255", 0xFF8000},
        {" 1 , 2 , 3 ", 0x030201},
        {"256,0,0", std::nullopt},    // a component out of range
        {"1,2", std::nullopt},
        {"1,2,3,4", std::nullopt},
        {"Reddish", std::nullopt},
        {"", std::nullopt},
        {"#FF0000", std::nullopt},
    };
    for (const ColourCase& c : cases)
        EXPECT_EQ(ParseCommandColour(QString::fromLatin1(c.text)), c.colour) << c.text;
}

TEST(CommandFontWords, StyleWordsAnywhereInAnyCase)
{
    const std::pair<const char*, int> cases[] = {
        {"", 0}, {"Bold", 1}, {"italic,BOLD", 3}, {"underlined", 4}, {"StrikeOut Bold", 9},
        {"bold italic underline strikeout", 15}, {"plain", 0},
    };
    for (const auto& [text, bits] : cases)
        EXPECT_EQ(ParseFontStyleWords(QString::fromLatin1(text)), bits) << text;
}

TEST(CommandFontWords, CharsetIdentifierOrNumber)
{
    const std::pair<const char*, int> cases[] = {
        {"ANSI_CHARSET", 0}, {"symbol_charset", 2}, {"GREEK_CHARSET", 161}, {"204", 204},
        {"", 1}, {"klingon", 1}, {"999", 1},
    };
    for (const auto& [text, charset] : cases)
        EXPECT_EQ(ParseCharset(QString::fromLatin1(text)), charset) << text;
}

// A line record as the publication reader makes it: the window is the
// points' bounding box grown by the line width.
TObjectRecord LineRecord(const QString& name, int lineWidth, QPoint start, QPoint end)
{
    const QRect box = QRect(start, end).normalized();
    TObjectRecord record = Record(otLine, name, box.left() - lineWidth, box.top() - lineWidth,
                                  box.width() - 1 + 2 * lineWidth, box.height() - 1 + 2 * lineWidth);
    record.lineWidth = lineWidth;
    record.As<TLineProps>()->start = start;
    record.As<TLineProps>()->end = end;
    return record;
}

// ---- a page with objects ------------------------------------------------------------------

class ObjectCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ObjectsApplication();
        page = std::make_unique<TTestPage>(QSize(200, 150));
        other = std::make_unique<TTestPage>(QSize(200, 150));
        TObjectWorld world = TwoPageWorld(page.get(), other.get(), broughtUp);
        world.effectPlayer = [this](QWidget&, const QRect& area, const QImage& before, const QImage& after,
                                    const QString& effect, const QString& speed) {
            effects.push_back({area, before, after, effect, speed});
        };
        commands = std::make_unique<TObjectCommands>(world);
    }

    TTomericObj* Add(int type, const QString& name, QRect rect, QWidget* parent = nullptr)
    {
        TObjectRecord record = Record(type, name, rect.x(), rect.y(), rect.width(), rect.height());
        return CreateObject(parent ? parent : page.get(), record, host);
    }

    ServiceReply Run(const QString& command, const QStringList& params)
    {
        ServiceCall call;
        call.Command = command;
        call.Params = params;
        return commands->Perform(call);
    }

    struct PlayedEffect {
        QRect area;
        QImage before, after;
        QString effect, speed;
    };

    TTestObjectHost host;
    std::unique_ptr<TTestPage> page, other;
    std::unique_ptr<TObjectCommands> commands;
    std::vector<PlayedEffect> effects;
    std::vector<int> broughtUp;
};

// ---- lookup -------------------------------------------------------------------------

TEST_F(ObjectCommands, UnknownObjectSetsTheQuotedNameAndMessage)
{
    const ServiceReply reply = Run("ShowObject", {"Ghost", "", ""});
    ASSERT_TRUE(reply.LastError.has_value());
    EXPECT_EQ(*reply.LastError, QStringLiteral("\"Ghost\"||") + kNotFound);
    EXPECT_EQ(reply.ActionError, 0);
}

TEST_F(ObjectCommands, LookupIgnoresCaseAndPrefersTheShownPage)
{
    TTomericObj* shown = Add(otRect, "Box", {10, 10, 20, 20});
    TTomericObj* hidden = Add(otRect, "BOX", {10, 10, 20, 20}, other.get());
    auto found = commands->FindObject("box");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->object, shown);
    EXPECT_TRUE(found->where.onScreen);
    delete shown;
    found = commands->FindObject("bOx");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->object, hidden);
    EXPECT_EQ(found->where.pageIndex, 2);
    EXPECT_FALSE(found->where.onScreen);
}

TEST_F(ObjectCommands, MembersOfGroupsAreFound)
{
    TObjectRecord group = Record(otGroup, "Group", 20, 20, 100, 100);
    group.members.push_back(Record(otRect, "Inner", 5, 5, 10, 10));
    CreateObject(page.get(), group, host);
    auto found = commands->FindObject("inner");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->object->Name(), QStringLiteral("Inner"));
}

TEST_F(ObjectCommands, UnknownCommandsAreNotHandled)
{
    EXPECT_FALSE(TObjectCommands::Handles("ShowMenuItem"));
    EXPECT_TRUE(TObjectCommands::Handles("showobject"));
    EXPECT_TRUE(TObjectCommands::Handles("FlashSetVar"));
    const ServiceReply reply = Run("GotoPage", {"x"});
    EXPECT_FALSE(reply.LastError.has_value());
}

// ---- GetObjectInfo ------------------------------------------------------------------

const char* const kInfoNames[] = {"Visible", "Enabled", "Left", "Top", "Width", "Height", "FileName",
                                  "SelectedText", "CursorPosition", "ImageWidth", "ImageHeight",
                                  "MediaLength", "Caption"};

TEST_F(ObjectCommands, EveryInfoNameIsAnsweredOnEveryFamily)
{
    for (int type = kFirstObjectType; type <= kLastObjectType; ++type) {
        const QString name = QStringLiteral("Obj%1").arg(type);
        TObjectRecord record = Record(type, name, 12, 14, 40, 30);
        if (auto* line = record.As<TLineProps>()) {
            line->start = {13, 15};
            line->end = {51, 43};
        }
        if (!CreateObject(page.get(), record, host))
            continue;
        for (const char* info : kInfoNames) {
            const ServiceReply reply = Run("GetObjectInfo", {name, info, "[V]"});
            EXPECT_FALSE(reply.LastError.has_value()) << ObjectClassName(type) << " " << info;
            EXPECT_TRUE(reply.Results.count(3)) << ObjectClassName(type) << " " << info;
        }
    }
}

TEST_F(ObjectCommands, CommonInfoOfAShape)
{
    TTomericObj* box = Add(otRect, "Box", {12, 14, 40, 30});
    const std::pair<const char*, const char*> expected[] = {
        {"Left", "12"}, {"top", "14"}, {"WIDTH", "40"}, {"Height", "30"}, {"Visible", "True"},
        {"Enabled", "True"}, {"FileName", ""}, {"MediaLength", "0"}, {"Caption", ""},
    };
    for (const auto& [info, value] : expected)
        EXPECT_EQ(Run("GetObjectInfo", {"Box", info, "[V]"}).Results[3], QString::fromLatin1(value)) << info;
    box->SetVisibleState(false);
    box->SetEnabledState(false);
    EXPECT_EQ(Run("GetObjectInfo", {"Box", "Visible", "[V]"}).Results[3], QStringLiteral("False"));
    EXPECT_EQ(Run("GetObjectInfo", {"Box", "Enabled", "[V]"}).Results[3], QStringLiteral("False"));
}

TEST_F(ObjectCommands, LineInfoIsTheStrokeBox)
{
    CreateObject(page.get(), LineRecord("Line", 3, {20, 30}, {60, 50}), host);
    EXPECT_EQ(Run("GetObjectInfo", {"Line", "Left", "[V]"}).Results[3], QStringLiteral("20"));
    EXPECT_EQ(Run("GetObjectInfo", {"Line", "Top", "[V]"}).Results[3], QStringLiteral("30"));
    EXPECT_EQ(Run("GetObjectInfo", {"Line", "Width", "[V]"}).Results[3], QStringLiteral("40"));
    EXPECT_EQ(Run("GetObjectInfo", {"Line", "Height", "[V]"}).Results[3], QStringLiteral("20"));
}

TEST_F(ObjectCommands, UnknownInfoNameIsAnErrorAndEmptiesTheVariable)
{
    Add(otRect, "Box", {0, 0, 10, 10});
    const ServiceReply reply = Run("GetObjectInfo", {"Box", "Colour", "[V]"});
    ASSERT_TRUE(reply.LastError.has_value());
    EXPECT_EQ(*reply.LastError, QStringLiteral("Colour||") + Message(msgInvalidObjectInfo));
    ASSERT_TRUE(reply.Results.count(3));
    EXPECT_TRUE(reply.Results.at(3).isEmpty());
}

// ---- restyling ---------------------------------------------------------------------

TEST_F(ObjectCommands, SetObjectFillKeepsWhatIsOutOfRange)
{
    TTomericObj* box = Add(otRect, "Box", {0, 0, 10, 10});
    Run("SetObjectFill", {"Box", "Red", "Hollow", "True"});
    EXPECT_EQ(box->FillColor(), 0x0000FF);
    EXPECT_EQ(box->FillPattern(), 1);
    EXPECT_TRUE(box->Transparent());
    Run("SetObjectFill", {"Box", "nonsense", "49", "perhaps"});
    EXPECT_EQ(box->FillColor(), 0x0000FF);
    EXPECT_EQ(box->FillPattern(), 1);
    EXPECT_TRUE(box->Transparent());
    Run("SetObjectFill", {"Box", "0,255,0", "7", "False"});
    EXPECT_EQ(box->FillColor(), 0x00FF00);
    EXPECT_EQ(box->FillPattern(), 7);
    EXPECT_FALSE(box->Transparent());
    Run("SetObjectFill", {"Box", "", "solid", ""});
    EXPECT_EQ(box->FillPattern(), 0);
}

TEST_F(ObjectCommands, SetObjectLineRanges)
{
    TTomericObj* box = Add(otRect, "Box", {0, 0, 10, 10});
    Run("SetObjectLine", {"Box", "Navy", "7", "6"});
    EXPECT_EQ(box->LineColor(), 0x800000);
    EXPECT_EQ(box->LineWidth(), 7);
    EXPECT_EQ(box->LineStyle(), int(qxpsSunken));
    Run("SetObjectLine", {"Box", "", "101", "7"}); // width and style out of range
    EXPECT_EQ(box->LineWidth(), 7);
    EXPECT_EQ(box->LineStyle(), int(qxpsSunken));
    Run("SetObjectLine", {"Box", "", "0", ""});
    EXPECT_EQ(box->LineWidth(), 0);
}

TEST_F(ObjectCommands, DottedLineStyleDrawsAOnePixelDottedBorder)
{
    TTomericObj* box = Add(otRect, "Box", {10, 10, 60, 40});
    box->SetFillColor(0xFFFFFF);
    Run("SetObjectLine", {"Box", "Red", "5", "2"});
    EXPECT_EQ(box->LineWidth(), 1);
    EXPECT_EQ(box->LineStyle(), int(qxpsDot));
    const QImage image = testing::RenderWidget(*page);
    const auto isRed = [&](int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return c.red() > 200 && c.green() < 80 && c.blue() < 80;
    };
    int red = 0, gaps = 0;
    for (int x = 12; x < 68; ++x)
        (isRed(x, 10) ? red : gaps)++;
    EXPECT_GT(red, 8) << "the top border shows dots";
    EXPECT_GT(gaps, 8) << "the top border has gaps between the dots";
    for (int x = 12; x < 68; ++x)
        EXPECT_FALSE(isRed(x, 11)) << "the border is one pixel wide at x " << x;
}

TEST_F(ObjectCommands, CaptionAndFileNameRefusalsNameTheObject)
{
    Add(otRect, "Box", {0, 0, 10, 10});
    ServiceReply reply = Run("SetObjectCaption", {"box", "Hello"});
    ASSERT_TRUE(reply.LastError.has_value());
    EXPECT_EQ(*reply.LastError, QStringLiteral("\"Box\"||") + Message(msgNoCaption));
    reply = Run("SetObjectFileName", {"Box", "x.bmp"});
    ASSERT_TRUE(reply.LastError.has_value());
    EXPECT_EQ(*reply.LastError, QStringLiteral("\"Box\"||") + Message(msgNoFileName));
}

TEST_F(ObjectCommands, SetObjectFontPassesOnlyWhatIsGiven)
{
    struct Recorder : TTomericObj {
        using TTomericObj::TTomericObj;
        void SetObjectFont(const TFontChange& change) override { changes.push_back(change); }
        std::vector<TFontChange> changes;
    };
    auto* object = new Recorder(page.get(), Record(otText, "Txt", 0, 0, 10, 10), host);
    Run("SetObjectFont", {"Txt", "Blue", "", "0", ""});
    Run("SetObjectFont", {"Txt", "", "Arial", "12", "bold,italic", "GREEK_CHARSET"});
    ASSERT_EQ(object->changes.size(), 2u);
    EXPECT_EQ(object->changes[0].color, std::optional<std::int32_t>(0xFF0000));
    EXPECT_FALSE(object->changes[0].name || object->changes[0].size || object->changes[0].style);
    EXPECT_FALSE(object->changes[1].color.has_value());
    EXPECT_EQ(object->changes[1].name, std::optional<QString>("Arial"));
    EXPECT_EQ(object->changes[1].size, std::optional<int>(12));
    EXPECT_EQ(object->changes[1].style, std::optional<int>(3));
    EXPECT_EQ(object->changes[1].charset, std::optional<int>(161));
}

// ---- show and hide ------------------------------------------------------------------

TEST_F(ObjectCommands, ShowWithAnEffectPlaysFromBeforeToAfterOverTheObject)
{
    page->show();
    TTomericObj* box = Add(otRect, "Box", {20, 30, 40, 20});
    box->SetFillColor(0x0000FF);
    box->SetVisibleState(false);
    Run("ShowObject", {"Box", "Wipe Right", "3"});
    EXPECT_TRUE(box->VisibleState());
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_EQ(effects[0].area, QRect(20, 30, 40, 20));
    EXPECT_EQ(effects[0].effect, QStringLiteral("Wipe Right"));
    EXPECT_EQ(effects[0].speed, QStringLiteral("3"));
    EXPECT_EQ(effects[0].before.pixelColor(20, 10), QColor(Qt::white));
    EXPECT_EQ(effects[0].after.pixelColor(20, 10), QColor(Qt::red));
}

TEST_F(ObjectCommands, ShowWithoutEffectOrOffScreenOnlySetsTheState)
{
    page->show();
    TTomericObj* box = Add(otRect, "Box", {20, 30, 40, 20});
    Run("HideObject", {"Box", "", ""});
    EXPECT_FALSE(box->VisibleState());
    TTomericObj* away = Add(otRect, "Away", {0, 0, 10, 10}, other.get());
    Run("HideObject", {"Away", "Dissolve", "1"});
    EXPECT_FALSE(away->VisibleState());
    EXPECT_TRUE(effects.empty());
}

TEST_F(ObjectCommands, TimersAreNeverShownOrHidden)
{
    TTomericObj* timer = Add(otTimer, "Clock", {0, 0, 10, 10});
    const bool before = timer->VisibleState();
    Run("ShowObject", {"Clock", "", ""});
    Run("HideObject", {"Clock", "", ""});
    EXPECT_EQ(timer->VisibleState(), before);
}

TEST_F(ObjectCommands, EnableAndDisable)
{
    TTomericObj* box = Add(otRect, "Box", {0, 0, 10, 10});
    Run("DisableObject", {"Box"});
    EXPECT_FALSE(box->EnabledState());
    Run("EnableObject", {"Box"});
    EXPECT_TRUE(box->EnabledState());
}

// ---- place, size, stacking ------------------------------------------------------------

TEST_F(ObjectCommands, MoveAndSizeKeepTheOtherCorner)
{
    TTomericObj* box = Add(otRect, "Box", {10, 10, 30, 20});
    Run("MoveObject", {"Box", "50", "60"});
    EXPECT_EQ(box->geometry(), QRect(50, 60, 30, 20));
    Run("SizeObject", {"Box", "70", "15"});
    EXPECT_EQ(box->geometry(), QRect(50, 60, 70, 15));
    Run("SizeObject", {"Box", "-5", "x"}); // negative: nothing; not a number: unchanged
    EXPECT_EQ(box->geometry(), QRect(50, 60, 0, 15));
}

TEST_F(ObjectCommands, MovingALinePlacesItsStroke)
{
    auto* line = static_cast<TTomericLine*>(CreateObject(page.get(), LineRecord("Line", 4, {20, 30}, {60, 50}), host));
    Run("MoveObject", {"Line", "100", "80"});
    EXPECT_EQ(line->pos(), QPoint(96, 76)); // the window is LineWidth up and left
    EXPECT_EQ(Run("GetObjectInfo", {"Line", "Left", "[V]"}).Results[3], QStringLiteral("100"));
    Run("SizeObject", {"Line", "10", "30"});
    EXPECT_EQ(Run("GetObjectInfo", {"Line", "Width", "[V]"}).Results[3], QStringLiteral("10"));
    EXPECT_EQ(Run("GetObjectInfo", {"Line", "Height", "[V]"}).Results[3], QStringLiteral("30"));
    EXPECT_EQ(Run("GetObjectInfo", {"Line", "Top", "[V]"}).Results[3], QStringLiteral("80"));
}

TEST_F(ObjectCommands, FrontAndBackChangeTheStackingOrder)
{
    TTomericObj* a = Add(otRect, "A", {0, 0, 10, 10});
    TTomericObj* b = Add(otRect, "B", {0, 0, 10, 10});
    Run("ObjectToFront", {"A"});
    EXPECT_EQ(page->childAt(5, 5), a);
    Run("ObjectToBack", {"A"});
    EXPECT_EQ(page->childAt(5, 5), b);
    EXPECT_EQ(page->children().first(), a);
}

TEST_F(ObjectCommands, HandleIsZeroWithoutANativeWindow)
{
    TTomericObj* box = Add(otRect, "Box", {0, 0, 10, 10});
    EXPECT_EQ(Run("GetObjectHandle", {"Box", "[H]"}).Results[2], QStringLiteral("0"));
    EXPECT_FALSE(box->testAttribute(Qt::WA_NativeWindow)) << "asking made no native window";
}

// ---- family commands ------------------------------------------------------------------

TEST_F(ObjectCommands, TimerCommandsActOnTimersOnly)
{
    auto* timer = static_cast<TTomericTimer*>(Add(otTimer, "Clock", {0, 0, 10, 10}));
    Run("TimerStart", {"Clock", "-250"});
    EXPECT_TRUE(timer->Running());
    EXPECT_EQ(timer->Interval(), 250);
    Run("TimerStop", {"Clock"});
    EXPECT_FALSE(timer->Running());
    Add(otRect, "Box", {0, 0, 10, 10});
    EXPECT_FALSE(Run("TimerStart", {"Box", "100"}).LastError.has_value());
}

TEST_F(ObjectCommands, BrowsersAndMoviesWithoutTheirEnginesRefuseTheirCommands)
{
    Add(otWebBrowser, "Web", {0, 0, 10, 10});
    Add(otFlash, "Movie", {0, 0, 10, 10});
    Add(otRect, "Box", {0, 0, 10, 10});
    const QString refused = QStringLiteral("\"Web\"||") + Message(msgNeedsVisibleObject);
    EXPECT_EQ(Run("BrowserPrint", {"Web", "NoPrompt"}).LastError.value_or(QString()), refused);
    EXPECT_EQ(Run("BrowserGoTo", {"Web", "page.htm"}).LastError.value_or(QString()), refused);
    const ServiceReply get = Run("BrowserGetElement", {"Web", "f.t", "[T]"});
    EXPECT_EQ(get.LastError.value_or(QString()), refused);
    EXPECT_EQ(get.Results.at(3), QString());
    EXPECT_EQ(Run("FlashPlay", {"Movie", ""}).LastError.value_or(QString()),
              QStringLiteral("\"Movie\"||") + Message(msgNeedsVisibleObject));
    EXPECT_FALSE(Run("BrowserPrint", {"Box", ""}).LastError.has_value());
    EXPECT_EQ(Run("FlashGetVar", {"Movie", "score", "[S]"}).Results[3], QString());
    EXPECT_FALSE(Run("FlashGetVar", {"Box", "score", "[S]"}).Results.count(3));
    EXPECT_EQ(*Run("MediaPlayerPlay", {"Nothing"}).LastError, QStringLiteral("\"Nothing\"||") + kNotFound);
}

} // namespace
} // namespace tomeric
