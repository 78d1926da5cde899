// The player's wiring seen from a publication: buttons Call function files
// packed in the container (a Variable parameter written back, Number
// parameters computed, a function called twice read once, a JavaScript
// function reaching the publication through Publication), a command the
// player does not carry out yet is reported once on standard error and the
// script goes on, [FocusedObject] names the focused object, and
// GetObjectInfo words its two errors differently.

#include "platform/string_table.h"
#include "player_test_support.h"

namespace tomeric::testing {
namespace {

const char* const kFunctionsTour =
    "click Upper\n"
    "click Sum\n"
    "click Twice\n"
    "click Greet\n"
    "click Unsupported\n"
    "click Unsupported\n"
    "click Entry\n"
    "run SetVar \"[Focus]\" \"[FocusedObject]\"\n"
    "run GetObjectInfo \"Entry\" \"Colour\" \"[Info]\"\n"
    "run SetVar \"[InfoError]\" \"[LastError]\"\n"
    "run GetObjectInfo \"Nobody\" \"Left\" \"[Info]\"\n"
    "run SetVar \"[ObjectError]\" \"[LastError]\"\n"
    "vars vars.txt\n";

class FunctionsEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        session = std::make_unique<PlayerSession>(QStringLiteral("functions"));
        // A function file on disk beside the container: the script erases it
        // between two calls, so the second call runs only if the loaded
        // function was kept.
        QFile once(session->Path(QStringLiteral("once.fn")));
        ASSERT_TRUE(once.open(QIODevice::WriteOnly));
        once.write("SetVar \"[Runs]\" \"[Runs]x\"\r\n");
        once.close();
        run = std::make_unique<TPlayerRun>(session->Drive(QString::fromUtf8(kFunctionsTour)));
        vars = session->Variables(QStringLiteral("vars.txt"));
    }
    static void TearDownTestSuite()
    {
        run.reset();
        session.reset();
    }
    static QString Var(const char* name)
    {
        const auto found = vars.find(QString::fromLatin1(name).toUpper());
        return found == vars.end() ? QString() : found->second;
    }

    static inline std::unique_ptr<PlayerSession> session;
    static inline std::unique_ptr<TPlayerRun> run;
    static inline std::map<QString, QString> vars;
};

TEST_F(FunctionsEndToEnd, ButtonsCallFunctionFilesOfTheContainer)
{
    ASSERT_TRUE(run->finished);
    EXPECT_EQ(run->exitCode, 0) << run->err.toStdString();
    EXPECT_EQ(Var("Shout"), QStringLiteral("ABC")) << "a Variable parameter is the caller's variable";
    EXPECT_EQ(Var("Total"), QStringLiteral("11")) << "Number parameters are computed: 4+1 and 3*2";
    EXPECT_EQ(Var("SeenA"), QStringLiteral("5"));
    EXPECT_EQ(Var("A"), QString()) << "parameters are local to the function";
}

TEST_F(FunctionsEndToEnd, JavaScriptFunctionsReachThePublication)
{
    EXPECT_EQ(Var("Greeting"), QStringLiteral("Hello ANN"));
    EXPECT_EQ(Var("JsRan"), QStringLiteral("9")) << "qxExecAction ran with what qxGetVar read";
}

TEST_F(FunctionsEndToEnd, AFunctionCalledTwiceIsReadOnce)
{
    EXPECT_EQ(Var("Runs"), QStringLiteral("xx"));
    EXPECT_EQ(Var("AfterTwice"), QStringLiteral("yes"));
}

TEST_F(FunctionsEndToEnd, FocusedObjectNamesTheFocusedObject)
{
    EXPECT_EQ(Var("Focus"), QStringLiteral("Entry"));
}

TEST_F(FunctionsEndToEnd, GetObjectInfoQuotesOnlyAMissingObjectsName)
{
    EXPECT_EQ(Var("InfoError"), QStringLiteral("Colour||") + Message(msgInvalidObjectInfo));
    EXPECT_EQ(Var("ObjectError"), QStringLiteral("\"Nobody\"||") + Message(msgNoSuchObject));
}

} // namespace
} // namespace tomeric::testing
