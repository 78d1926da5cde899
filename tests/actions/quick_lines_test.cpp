// Loop lines run straight on whole numbers (quick lines) must leave the
// store exactly as running their commands the usual way does. Each script
// runs over values that do and do not qualify, into untyped, typed and
// missing variables, once with quick lines and once without, and the two
// stores are compared variable by variable.

#include "actions/action_eval.h"
#include "actions/headless_services.h"
#include "actions/quick_lines.h"
#include "platform/decimal_symbol.h"
#include "vars/variables.h"

#include <gtest/gtest.h>

#include <string>

namespace tomeric {
namespace {

const char* const kScripts[] = {
    "SetVar \"[t]\" \"[a]+1\"\nSetVar \"[t]\" \"[t]+[b]\"",
    "SetVar \"[t]\" \"[a]*[b]-[a]\"",
    "SetVar \"[t]\" \"[a]\"\nSetVar \"[u]\" \"[t]\"",
    "Math \"[a]*[b]\" \"0\" \"[t]\"",
    "Math \"[a]+1\" \"2\" \"[t]\"",
    "Math \"-[a]-[b]\" \"0\" \"[t]\"",
    "Math \"[a]/[b]\" \"0\" \"[t]\"",
    "Math \"[a]*[a]*[a]\" \"0\" \"[t]\"",
    "SetVar \"[LastError]\" \"boom\"\nMath \"[a]+[b]\" \"0\" \"[t]\"",
    "If \"[a]\" \"=\" \"7\"\nSetVar \"[r]\" \"seven\"\nENDIF",
    "While \"[a]\" \"<>\" \"[b]\"\n  Math \"[g]+1\" \"0\" \"[g]\"\n  SetVar \"[a]\" \"[b]\"\n"
    "  If \"[g]\" \">\" \"3\"\n    ExitWhile\n  ENDIF\nENDWHILE",
};

const char* const kOperators[] = {"=", "<>", "<", ">", "<=", ">="};

const char* const kValuesOfA[] = {
    "3", "007", "0", "-4", "2.5", "2,5", "", "abc", "!5", " 5", "1E3",
    "99999999999999999999", "123456789012345678", "999999999999999",
};
const char* const kValuesOfB[] = {"2", "0", "-1", "x", "15"};

// How the variable [t] starts: missing, untyped, or of a type (with its format).
struct TargetType {
    const char* Word;
    const char* Format;
};
const TargetType kTargetTypes[] = {{"", ""},       {"Undefined", ""}, {"Integer", ""},
                                   {"String", ""}, {"Decimal", "2"},  {"Date", "Default"}};

QStringList Scripts()
{
    QStringList scripts;
    for (const char* script : kScripts)
        scripts << QString::fromLatin1(script);
    for (const char* op : kOperators)
        scripts << QStringLiteral("If \"[a]\" \"%1\" \"[b]\"\nSetVar \"[r]\" \"yes\"\nELSE\n"
                                  "SetVar \"[r]\" \"no\"\nENDIF")
                       .arg(QString::fromLatin1(op));
    return scripts;
}

// Every global variable with its type, and [LastError].
std::string Store()
{
    QString out;
    GlobalVars().ForEach([&](const QString& key, const QString& value, const TGenericVarInfo* info) {
        out += key + u'=' + value + u'/' + QString::number(info ? int(info->VarType) : 0) + u';';
    });
    return (out + QStringLiteral("LastError=") + LastError()).toStdString();
}

std::string RunOnce(const QString& script, const char* a, const char* b, const TargetType& target, bool quick)
{
    ResetVariableStore();
    AbortAllActions();
    SetVariable(QStringLiteral("[a]"), QString::fromLatin1(a));
    SetVariable(QStringLiteral("[b]"), QString::fromLatin1(b));
    if (*target.Word) {
        SetVariable(QStringLiteral("[t]"), QStringLiteral("5"));
        DefineVariable(QStringLiteral("[t]"), QString::fromLatin1(target.Word),
                       QString::fromLatin1(target.Format), false);
    }
    HeadlessServices services([](const QString&) {});
    SetQuickLinesEnabled(quick);
    RunActionText(services.All(), script, QStringLiteral("test"), 0, 0);
    SetQuickLinesEnabled(true);
    return Store();
}

void CompareAll()
{
    for (const QString& script : Scripts())
        for (const char* a : kValuesOfA)
            for (const char* b : kValuesOfB)
                for (const TargetType& target : kTargetTypes)
                    EXPECT_EQ(RunOnce(script, a, b, target, true), RunOnce(script, a, b, target, false))
                        << script.toStdString() << "\nwith a=\"" << a << "\", b=\"" << b
                        << "\", [t] " << (*target.Word ? target.Word : "missing");
    ResetVariableStore();
}

TEST(QuickLines, LeaveTheStoreAsTheirCommandsDo)
{
    CompareAll();
}

TEST(QuickLines, LeaveTheStoreAsTheirCommandsDoWithACommaAsDecimalSymbol)
{
    const QChar saved = DecimalSymbol();
    SetDecimalSymbol(u',');
    CompareAll();
    SetDecimalSymbol(saved);
}

} // namespace
} // namespace tomeric
