// Typed variables (DefineVar): conversion of assigned values, their error
// messages, defaults, retyping, and the lenient reading of numbers.

#include "vars_test_support.h"

#include "platform/string_table.h"
#include "vars/typed_values.h"

namespace tomeric::testing {
namespace {

struct ConversionCase {
    TVarType type;
    const char* format;
    const char* value;
    const char* stored;  // expected stored text, or nullptr when conversion fails
    MessageId message = msgOk; // the failure message
};

void PrintTo(const ConversionCase& c, std::ostream* os) {
    *os << VarTypeWord(c.type).toStdString() << " <- \"" << c.value << '"';
}

class TypedConversion : public VarsTest, public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(TypedConversion, StoresTheConvertedValueOrReportsTheMessage) {
    const ConversionCase& c = GetParam();
    const QString value = QString::fromUtf8(c.value);
    const TypedValue result = ConvertTypedValue(c.type, QString::fromUtf8(c.format), value);
    if (c.stored) {
        EXPECT_TRUE(result.ok);
        EXPECT_EQ(result.value, QString::fromUtf8(c.stored));
    } else {
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, Message(c.message, value));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Integers, TypedConversion,
    ::testing::Values(ConversionCase{vtInteger, "", "", "0"}, ConversionCase{vtInteger, "", "42", "42"},
                      ConversionCase{vtInteger, "", "-7", "-7"}, ConversionCase{vtInteger, "", "007", "7"},
                      ConversionCase{vtInteger, "", "+3", "3"},
                      ConversionCase{vtInteger, "", "12.5", nullptr, msgInvalidInteger},
                      ConversionCase{vtInteger, "", " 12", nullptr, msgInvalidInteger},
                      ConversionCase{vtInteger, "", "1 000", nullptr, msgInvalidInteger},
                      ConversionCase{vtInteger, "", "abc", nullptr, msgInvalidInteger},
                      ConversionCase{vtInteger, "", "99999999999", nullptr, msgInvalidInteger}));

INSTANTIATE_TEST_SUITE_P(
    CurrencyAndDecimals, TypedConversion,
    ::testing::Values(ConversionCase{vtCurrency, "", "", "0.00"},
                      ConversionCase{vtCurrency, "", "12", "12.00"},
                      ConversionCase{vtCurrency, "", "1 234,5 EUR", "1234.50"},
                      ConversionCase{vtCurrency, "", "$3.456", "3.46"},
                      ConversionCase{vtCurrency, "", "abc", nullptr, msgInvalidCurrency},
                      ConversionCase{vtCurrency, "", "1-2", nullptr, msgInvalidCurrency},
                      ConversionCase{vtDecimal, "3", "2.5", "2.500"},
                      ConversionCase{vtDecimal, "", "2.5", "2.50"},
                      ConversionCase{vtDecimal, "x", "", "0.00"},
                      ConversionCase{vtDecimal, "0", "-2.4", "-2"},
                      ConversionCase{vtDecimal, "2", "-0.001", "0.00"},
                      ConversionCase{vtDecimal, "2", "1.2.3", nullptr, msgInvalidDecimal}));

INSTANTIATE_TEST_SUITE_P(
    Booleans, TypedConversion,
    ::testing::Values(ConversionCase{vtBoolean, "", "yes", "True"}, ConversionCase{vtBoolean, "", "T", "True"},
                      ConversionCase{vtBoolean, "", "checked", "True"}, ConversionCase{vtBoolean, "", "OK", "True"},
                      ConversionCase{vtBoolean, "", "1", "True"}, ConversionCase{vtBoolean, "", "no", "False"},
                      ConversionCase{vtBoolean, "", "UnChecked", "False"},
                      ConversionCase{vtBoolean, "", "cancel", "False"}, ConversionCase{vtBoolean, "", "0", "False"},
                      ConversionCase{vtBoolean, "", "maybe", nullptr, msgInvalidBoolean},
                      ConversionCase{vtBoolean, "", "", nullptr, msgInvalidBoolean}));

INSTANTIATE_TEST_SUITE_P(
    DatesAndText, TypedConversion,
    ::testing::Values(ConversionCase{vtDate, "d/m/yyyy", "25-12-2024", "25/12/2024"},
                      ConversionCase{vtDate, "yyyy-mm-dd", "2024/1/5", "2024-01-05"},
                      ConversionCase{vtDate, "Default", "12/25/2024", "12/25/24"},
                      ConversionCase{vtDate, "d/m/yyyy", "31/2/2024", nullptr, msgInvalidDate},
                      ConversionCase{vtDate, "d/m/yyyy", "soon", nullptr, msgInvalidDate},
                      ConversionCase{vtString, "", " as is ", " as is "},
                      ConversionCase{vtUndefined, "", "[x]", "[x]"}));

TEST_F(VarsTest, DecimalSymbolIsUsedForTypedNumbers) {
    SetDecimalSymbol(u',');
    EXPECT_EQ(ConvertTypedValue(vtCurrency, QString(), QStringLiteral("1 234,5 EUR")).value,
              QStringLiteral("1234,50"));
    EXPECT_EQ(ConvertTypedValue(vtDecimal, QStringLiteral("1"), QStringLiteral("2.25")).value,
              QStringLiteral("2,3")); // halves round away from zero
}

TEST_F(VarsTest, LenientNumberReading) {
    EXPECT_EQ(LenientNumber(QStringLiteral("1 234.5 EUR")), 1234.5);
    EXPECT_EQ(LenientNumber(QStringLiteral("-3,5")), -3.5);
    EXPECT_EQ(LenientNumber(QStringLiteral("abc")), 0.0);
    EXPECT_FALSE(ReadNumberLeniently(QStringLiteral("--")).has_value());
    SetDecimalSymbol(u',');
    EXPECT_EQ(LenientNumber(QStringLiteral("1 234,5 EUR")), 1234.5);
}

TEST_F(VarsTest, DefineVarWithABadInitialValueKeepsTheDefault) {
    EXPECT_TRUE(DefineVariable(QStringLiteral("[N]"), QStringLiteral("Integer"), QString(), false));
    EXPECT_EQ(Get("[N]"), QStringLiteral("0"));
    Set("[N]", QStringLiteral("12.5"));
    EXPECT_EQ(Get("[N]"), QStringLiteral("0"));
    EXPECT_TRUE(GlobalVars().ConversionFailed);
    EXPECT_EQ(LastError(), Message(msgInvalidInteger, QStringLiteral("12.5")));
    Set("[N]", QStringLiteral("12"));
    EXPECT_FALSE(GlobalVars().ConversionFailed);
    EXPECT_EQ(Get("[N]"), QStringLiteral("12"));
}

TEST_F(VarsTest, BooleanVariableReadsTrueForYes) {
    DefineVariable(QStringLiteral("[Flag]"), QStringLiteral(" boolean "), QString(), false);
    EXPECT_EQ(Get("[Flag]"), QStringLiteral("False"));
    Set("[Flag]", QStringLiteral("yes"));
    EXPECT_EQ(Get("[Flag]"), QStringLiteral("True"));
    EXPECT_EQ(GetVarType(QStringLiteral("flag")), vtBoolean);
}

TEST_F(VarsTest, EmptyValueDoesNotDeleteATypedVariable) {
    DefineVariable(QStringLiteral("[N]"), QStringLiteral("Integer"), QString(), false);
    Set("[N]", QStringLiteral("5"));
    Set("[N]", QString());
    EXPECT_EQ(Get("[N]"), QStringLiteral("0"));
}

struct DefaultCase {
    const char* type;
    const char* format;
    const char* value;
};

class TypeDefaults : public VarsTest, public ::testing::WithParamInterface<DefaultCase> {};

TEST_P(TypeDefaults, NewTypedVariableStartsWithItsTypeDefault) {
    const DefaultCase& c = GetParam();
    EXPECT_TRUE(DefineVariable(QStringLiteral("[V]"), QString::fromUtf8(c.type), QString::fromUtf8(c.format), false));
    EXPECT_TRUE(GlobalVars().Contains(QStringLiteral("V")));
    EXPECT_EQ(Get("[V]"), QString::fromUtf8(c.value));
}

INSTANTIATE_TEST_SUITE_P(AllTypes, TypeDefaults,
                         ::testing::Values(DefaultCase{"Integer", "", "0"}, DefaultCase{"Currency", "", "0.00"},
                                           DefaultCase{"Decimal", "4", "0.0000"},
                                           DefaultCase{"Decimal", "many", "0.00"},
                                           DefaultCase{"Boolean", "", "False"}, DefaultCase{"String", "", ""},
                                           DefaultCase{"Date", "Default", ""}));

TEST_F(VarsTest, GlobalUndefinedDefinitionOfAnAbsentVariableCreatesNothing) {
    EXPECT_FALSE(DefineVariable(QStringLiteral("[U]"), QStringLiteral("Undefined"), QString(), false));
    EXPECT_FALSE(GlobalVars().Contains(QStringLiteral("U")));
}

TEST_F(VarsTest, UnknownTypeWordIsRefusedWithMessage330) {
    EXPECT_FALSE(DefineVariable(QStringLiteral("[V]"), QStringLiteral("Float"), QString(), false));
    EXPECT_EQ(LastError(), Message(msgInvalidVariableType, QStringLiteral("Float")));
    EXPECT_FALSE(GlobalVars().Contains(QStringLiteral("V")));
}

TEST_F(VarsTest, BuiltinNamesAndLastErrorCannotBeTyped) {
    EXPECT_FALSE(DefineVariable(QStringLiteral("[PageNumber]"), QStringLiteral("Integer"), QString(), false));
    EXPECT_EQ(LastError(), Message(msgGlobalTypeFixed, QStringLiteral("[PageNumber]")));
    SetLastError(QStringLiteral("earlier"));
    EXPECT_FALSE(DefineVariable(QStringLiteral("[LastError]"), QStringLiteral("Integer"), QString(), false));
    EXPECT_EQ(LastError(), Message(msgGlobalTypeFixed, QStringLiteral("[LastError]")));
    EXPECT_EQ(GetVarType(QStringLiteral("LastError")), vtUndefined);
}

TEST_F(VarsTest, RedefiningWithTheSameTypeChangesNothing) {
    DefineVariable(QStringLiteral("[N]"), QStringLiteral("Integer"), QString(), false);
    Set("[N]", QStringLiteral("9"));
    EXPECT_FALSE(DefineVariable(QStringLiteral("[N]"), QStringLiteral("integer"), QString(), false));
    EXPECT_EQ(Get("[N]"), QStringLiteral("9"));
}

TEST_F(VarsTest, RetypingConvertsTheCurrentValue) {
    Set("[V]", QStringLiteral("12"));
    EXPECT_TRUE(DefineVariable(QStringLiteral("[V]"), QStringLiteral("Decimal"), QStringLiteral("1"), false));
    EXPECT_EQ(Get("[V]"), QStringLiteral("12.0"));
    EXPECT_TRUE(DefineVariable(QStringLiteral("[V]"), QStringLiteral("Boolean"), QString(), false));
    EXPECT_EQ(Get("[V]"), QStringLiteral("False")); // "12.0" is no truth word: the default
    EXPECT_TRUE(DefineVariable(QStringLiteral("[V]"), QStringLiteral("Undefined"), QString(), false));
    EXPECT_EQ(GetVarType(QStringLiteral("[V]")), vtUndefined);
    EXPECT_EQ(Get("[V]"), QStringLiteral("False"));
    EXPECT_EQ(LastError(), QString()); // retyping reports no conversion errors
}

TEST_F(VarsTest, AnEmptyGlobalThatLosesItsTypeIsDeleted) {
    DefineVariable(QStringLiteral("[S]"), QStringLiteral("String"), QString(), false);
    EXPECT_TRUE(GlobalVars().Contains(QStringLiteral("S")));
    EXPECT_TRUE(DefineVariable(QStringLiteral("[S]"), QStringLiteral("Undefined"), QString(), false));
    EXPECT_FALSE(GlobalVars().Contains(QStringLiteral("S")));
}

TEST_F(VarsTest, RetypingADateReparsesWithTheOldFormat) {
    DefineVariable(QStringLiteral("[D]"), QStringLiteral("Date"), QStringLiteral("d/m/yyyy"), false);
    Set("[D]", QStringLiteral("3/4/2024"));
    EXPECT_EQ(Get("[D]"), QStringLiteral("3/4/2024"));
    EXPECT_TRUE(DefineVariable(QStringLiteral("[D]"), QStringLiteral("Date"), QStringLiteral("yyyy-mm-dd"), false));
    EXPECT_EQ(Get("[D]"), QStringLiteral("2024-04-03"));
}

TEST_F(VarsTest, DefinitionsAreBroadcast) {
    DefineVariable(QStringLiteral("[N]"), QStringLiteral("Integer"), QString(), false);
    ASSERT_EQ(observer.changes.size(), 1u);
    EXPECT_EQ(observer.changes[0], std::make_pair(QStringLiteral("[N]"), QStringLiteral("0")));
}

} // namespace
} // namespace tomeric::testing
