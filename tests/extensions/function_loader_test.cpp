// User functions: the function-file header, parameter kinds, and Call
// running a function with its own locals and the caller's variables.

#include "extensions/function_loader.h"

#include "actions/action_eval.h"
#include "actions/command_table.h"
#include "actions/script_session.h"
#include "platform/string_table.h"
#include "vars/variables.h"

#include <QHash>

#include <gtest/gtest.h>

namespace tomeric {
namespace {

TEST(FunctionParamKind, TypeWordsSelectKinds) {
    struct Case { const char* word; uint8_t kind; };
    const Case cases[] = {{"Number", 3}, {"mixed", 4}, {"FILENAME", 5}, {" Variable ", 6},
                          {"DataFile", 7}, {"Text", 1}, {"", 1}, {"whatever", 1}};
    for (const Case& c : cases)
        EXPECT_EQ(FunctionParamKind(QString::fromUtf8(c.word)), c.kind) << c.word;
}

TEST(FunctionHeader, DeclaresLanguageAndParameters) {
    TFunctionLoader loader([](const QString&) { return std::nullopt; });
    loader.LoadFromText(QStringLiteral("f"),
                        QStringLiteral("{tomeric function}\r\nVersion=2\r\n Language = JScript \r\n"
                                       "Param=[Text]|Text\r\nparam = [Out] | Variable\r\nUnknown=1\r\n"
                                       "{End}\r\nline 1\r\nline 2\r\n"));
    EXPECT_EQ(loader.Language, QStringLiteral("JScript"));
    EXPECT_FALSE(loader.IsActionLanguage());
    ASSERT_EQ(loader.ParamCount, 2);
    EXPECT_EQ(loader.ParamNames[1], QStringLiteral("[Text]"));
    EXPECT_EQ(loader.ParamKinds[1], pkText);
    EXPECT_EQ(loader.ParamNames[2], QStringLiteral("[Out]"));
    EXPECT_EQ(loader.ParamKinds[2], pkVariable);
    EXPECT_EQ(loader.Body, (QStringList{QStringLiteral("line 1"), QStringLiteral("line 2")}));
}

TEST(FunctionHeader, WithoutTheFirstLineTheWholeFileIsTheBody) {
    TFunctionLoader loader([](const QString&) { return std::nullopt; });
    loader.LoadFromText(QStringLiteral("f"), QStringLiteral("Param=[x]|Number\nSetVar \"[a]\" \"1\""));
    EXPECT_TRUE(loader.IsActionLanguage());
    EXPECT_EQ(loader.ParamCount, 0);
    EXPECT_EQ(loader.Body.size(), 2);
}

TEST(FunctionHeader, AtMostNineParametersAreKept) {
    QString text = QStringLiteral("{Tomeric Function}\n");
    for (int i = 1; i <= 11; ++i)
        text += QStringLiteral("Param=[p%1]|Number\n").arg(i);
    text += QStringLiteral("{End}\n");
    TFunctionLoader loader([](const QString&) { return std::nullopt; });
    loader.LoadFromText(QStringLiteral("f"), text);
    EXPECT_EQ(loader.ParamCount, 9);
    EXPECT_EQ(loader.ParamNames[9], QStringLiteral("[p9]"));
}

// ---- Call -------------------------------------------------------------------------------

class CallTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetFunctionFileReader([this](const QString& name) -> std::optional<QByteArray> {
            ++reads[name.toLower()];
            const auto it = files.constFind(name.toLower());
            if (it == files.constEnd())
                return std::nullopt;
            return it->toLatin1();
        });
        ResetVariableStore();
        SetShowErrors(false);
        session = std::make_unique<ScriptSession>([](const QString&) {});
        session->UseEmptyPublication();
        session->Services().All().Functions = &functions;
    }
    void TearDown() override {
        session.reset();
        SetFunctionFileReader(nullptr);
        ResetVariableStore();
        SetShowErrors(true);
    }
    void Run(const QString& script) { session->Run(script); }
    static QString Var(const char* name) { return GetVariable(QString::fromUtf8(name)); }

    TUserFunctions functions;
    QHash<QString, QString> files;
    QHash<QString, int> reads;
    std::unique_ptr<ScriptSession> session;
};

TEST_F(CallTest, AVariableParameterWritesTheCallersVariable) {
    files[QStringLiteral("upper.fn")] = QStringLiteral(
        "{Tomeric Function}\r\nParam=[Text]|Text\r\nParam=[Out]|Variable\r\n{End}\r\n"
        "StrUpper \"[Text]\" \"[Out]\"");
    Run(QStringLiteral("Call \"upper.fn\" \"abc\" \"[Total]\""));
    EXPECT_EQ(Var("Total"), QStringLiteral("ABC"));
    EXPECT_EQ(Var("Text"), QString()) << "a text parameter is local to the function";
}

TEST_F(CallTest, ArgumentsAreEvaluatedByTheirDeclaredKind) {
    files[QStringLiteral("twice.fn")] = QStringLiteral(
        "{Tomeric Function}\r\nParam=[n]|Number\r\nParam=[t]|Text\r\nParam=[r]|Variable\r\n{End}\r\n"
        "SetVar \"[r]\" \"[n]*2\"\r\nSetVar \"[seen]\" \"![t]\"");
    Run(QStringLiteral("SetVar \"[x]\" \"4\"\r\nCall \"twice.fn\" \"[x]+1\" \"[x]+1\" \"[res]\""));
    EXPECT_EQ(Var("res"), QStringLiteral("10"));
    EXPECT_EQ(Var("seen"), QStringLiteral("4+1")) << "a text argument is not computed";
}

TEST_F(CallTest, AnEmptyArgumentReadsEmptyNotAGlobalOfTheSameName) {
    files[QStringLiteral("show.fn")] = QStringLiteral(
        "{Tomeric Function}\r\nParam=[Text]|Text\r\n{End}\r\nSetVar \"[seen]\" \"<[Text]>\"");
    Run(QStringLiteral("SetVar \"[Text]\" \"global\"\r\nCall \"show.fn\" \"\""));
    EXPECT_EQ(Var("seen"), QStringLiteral("<>"));
    EXPECT_EQ(Var("Text"), QStringLiteral("global"));
}

TEST_F(CallTest, TheCallersLocalsAreInvisibleToTheFunction) {
    files[QStringLiteral("peek.fn")] = QStringLiteral("SetVar \"[seen]\" \"<[mine]>\"");
    Run(QStringLiteral("DefineVar \"[mine]\" \"String\" \"\" \"Local\" \"secret\"\r\nCall \"peek.fn\""));
    EXPECT_EQ(Var("seen"), QStringLiteral("<>"));
}

TEST_F(CallTest, WrongArgumentCountStopsTheScriptWithTheDeclaredCount) {
    files[QStringLiteral("one.fn")] = QStringLiteral(
        "{Tomeric Function}\r\nParam=[a]|Text\r\n{End}\r\nSetVar \"[ran]\" \"yes\"");
    Run(QStringLiteral("Call \"one.fn\"\r\nSetVar \"[after]\" \"yes\""));
    EXPECT_EQ(Var("ran"), QString());
    EXPECT_EQ(Var("after"), QString());
    EXPECT_TRUE(Var("LastError").contains(Message(msgParameterCount, QStringLiteral("1")))) << Var("LastError").toStdString();
}

TEST_F(CallTest, AFunctionWithoutHeaderAcceptsAnyArguments) {
    files[QStringLiteral("plain.fn")] = QStringLiteral("SetVar \"[ran]\" \"yes\"");
    Run(QStringLiteral("Call \"plain.fn\" \"x\" \"y\""));
    EXPECT_EQ(Var("ran"), QStringLiteral("yes"));
}

TEST_F(CallTest, AnUnknownFunctionStopsTheScriptWithMessage245) {
    Run(QStringLiteral("Call \"missing.fn\"\r\nSetVar \"[after]\" \"yes\""));
    EXPECT_EQ(Var("after"), QString());
    EXPECT_TRUE(Var("LastError").contains(QStringLiteral("\"missing.fn\"")));
    EXPECT_TRUE(Var("LastError").contains(Message(msgNoSuchFunction)));
}

TEST_F(CallTest, CallingTheSameFunctionAgainReadsItsFileOnce) {
    files[QStringLiteral("count.fn")] = QStringLiteral("SetVar \"[n]\" \"[n]+1\"");
    Run(QStringLiteral("Call \"count.fn\"\r\nCall \"COUNT.FN\"\r\nCall \"count.fn\""));
    EXPECT_EQ(reads.value(QStringLiteral("count.fn")), 1);
    EXPECT_EQ(Var("n"), QStringLiteral("3"));
}

TEST_F(CallTest, ANewPublicationDropsTheLoadedFunction) {
    files[QStringLiteral("count.fn")] = QStringLiteral("SetVar \"[ok]\" \"1\"");
    Run(QStringLiteral("Call \"count.fn\""));
    AbortAllActions();
    Run(QStringLiteral("Call \"count.fn\""));
    EXPECT_EQ(reads.value(QStringLiteral("count.fn")), 2);
}

TEST_F(CallTest, FunctionsMayCallFunctions) {
    files[QStringLiteral("outer.fn")] = QStringLiteral(
        "{Tomeric Function}\r\nParam=[r]|Variable\r\n{End}\r\nCall \"inner.fn\" \"[r]\"\r\n"
        "StrLen \"[r]\" \"[len]\"");
    files[QStringLiteral("inner.fn")] = QStringLiteral(
        "{Tomeric Function}\r\nParam=[x]|Variable\r\n{End}\r\nSetVar \"[x]\" \"!inner\"");
    Run(QStringLiteral("Call \"outer.fn\" \"[res]\""));
    EXPECT_EQ(Var("res"), QStringLiteral("inner"));
    EXPECT_EQ(Var("len"), QStringLiteral("5"));
}

TEST_F(CallTest, EndlessRecursionEndsWithAnError) {
    files[QStringLiteral("self.fn")] = QStringLiteral("Call \"self.fn\"");
    Run(QStringLiteral("Call \"self.fn\"\r\nSetVar \"[after]\" \"yes\""));
    EXPECT_FALSE(Var("LastError").isEmpty());
}

} // namespace
} // namespace tomeric
