// Input objects in a running publication: an edit field bound to a variable
// both ways with a maximum length shorter than the variable, a multi-select
// list selected with "|", a combo box whose number variable is set to 0,
// and a track bar clicked beside its thumb.

#include "player_test_support.h"

namespace tomeric::testing {
namespace {

const char* const kInputsTour =
    "click NameField\n"
    "type Bob\n"
    "wait 50\n"
    "vars typed.txt\n"
    "run SetVar \"[Name]\" \"Christopher\"\n"
    "run GetObjectInfo \"NameField\" \"Caption\" \"[Shown]\"\n"
    "type Z\n"
    "vars long.txt\n"
    "run SetVar \"[Sel]\" \"Cherry|Apple\"\n"
    "screenshot selection.png\n"
    "click Fruits\n"
    "key Down\n"
    "key Shift+Down\n"
    "wait 50\n"
    "vars list.txt\n"
    "run SetVar \"[Pick]\" \"2\"\n"
    "screenshot pick2.png\n"
    "run SetVar \"[Pick]\" \"0\"\n"
    "screenshot pick0.png\n"
    "click Volume\n"
    "wait 50\n"
    "vars final.txt\n";

class InputsEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        session = new PlayerSession(QStringLiteral("inputs_form"));
        run = new TPlayerRun(session->Drive(QString::fromUtf8(kInputsTour)));
    }
    static void TearDownTestSuite()
    {
        delete run;
        delete session;
    }
    static std::map<QString, QString> Vars(const char* file) { return session->Variables(QString::fromUtf8(file)); }
    static QString Var(const std::map<QString, QString>& vars, const char* name)
    {
        const auto found = vars.find(QString::fromUtf8(name));
        return found == vars.end() ? QString() : found->second;
    }

    // Rows of the list area (x 20..120 of the page) drawn in a highlight
    // colour: the first y of each run of highlighted lines.
    static std::vector<int> HighlightedRuns(const QImage& image)
    {
        std::vector<int> starts;
        bool inside = false;
        for (int y = 51; y < 129; ++y) {
            const QColor c = image.pixelColor(100, y);
            const bool highlighted = c.blue() > c.red() + 60;
            if (highlighted && !inside)
                starts.push_back(y);
            inside = highlighted;
        }
        return starts;
    }
    // Dark pixels in the combo box's text area.
    static int DarkPixels(const QImage& image)
    {
        int dark = 0;
        for (int y = 12; y < 30; ++y)
            for (int x = 152; x < 240; ++x)
                dark += image.pixelColor(x, y).lightness() < 100 ? 1 : 0;
        return dark;
    }

    static PlayerSession* session;
    static TPlayerRun* run;
};

PlayerSession* InputsEndToEnd::session = nullptr;
TPlayerRun* InputsEndToEnd::run = nullptr;

TEST_F(InputsEndToEnd, RunsToTheEndWithoutComplaints)
{
    ASSERT_TRUE(run->finished);
    EXPECT_EQ(run->exitCode, 0) << run->err.toStdString();
    EXPECT_FALSE(run->err.contains(QStringLiteral("no object"))) << run->err.toStdString();
}

TEST_F(InputsEndToEnd, EditFieldWritesItsVariableAndShowsALongerValueCut)
{
    const auto typed = Vars("typed.txt");
    EXPECT_EQ(Var(typed, "NAME"), QStringLiteral("Bob"));
    EXPECT_EQ(Var(typed, "EDITS"), QStringLiteral("eee")) << "one change action per typed letter";
    const auto cut = Vars("long.txt");
    EXPECT_EQ(Var(cut, "SHOWN"), QStringLiteral("Chris"));
    EXPECT_EQ(Var(cut, "NAME"), QStringLiteral("Christopher")) << "the variable keeps its full value";
    EXPECT_EQ(Var(cut, "EDITS"), QStringLiteral("eee")) << "a change from the variable runs nothing";
}

TEST_F(InputsEndToEnd, BarSeparatedValueSelectsExactlyThoseListItems)
{
    const QImage shot = session->Picture(QStringLiteral("selection.png"));
    ASSERT_FALSE(shot.isNull());
    const std::vector<int> runs = HighlightedRuns(shot);
    ASSERT_EQ(runs.size(), 2u) << "Apple and Cherry, not Banana between them";
    EXPECT_LT(runs[0], 56);
}

TEST_F(InputsEndToEnd, ReaderSelectionOfSeveralItemsJoinsThemWithCarriageReturns)
{
    const auto list = Vars("list.txt");
    // The variable file writes the CR as "[#13]".
    EXPECT_EQ(Var(list, "SEL"), QStringLiteral("Banana[#13]Cherry"));
    EXPECT_FALSE(Var(list, "PICKS").isEmpty());
}

TEST_F(InputsEndToEnd, ComboWithIndexVariableZeroShowsNothing)
{
    EXPECT_GT(DarkPixels(session->Picture(QStringLiteral("pick2.png"))), 5) << "\"Two\" is shown";
    EXPECT_EQ(DarkPixels(session->Picture(QStringLiteral("pick0.png"))), 0);
}

TEST_F(InputsEndToEnd, ClickBesideTheThumbRaisesTheValueByOne)
{
    const auto final = Vars("final.txt");
    EXPECT_EQ(Var(final, "VOL"), QStringLiteral("21"));
    EXPECT_EQ(Var(final, "CHANGES"), QStringLiteral("c"));
}

} // namespace
} // namespace tomeric::testing
