// How [Name] references inside a text become values.

#include "vars_test_support.h"

#include "vars/variables.h"

namespace tomeric::testing {
namespace {

struct SubstitutionCase {
    const char* text;
    const char* expected;
    bool numeric = false;
    bool nameMode = false;
};

void PrintTo(const SubstitutionCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class Substitution : public VarsTest, public ::testing::WithParamInterface<SubstitutionCase> {
protected:
    void SetUp() override {
        VarsTest::SetUp();
        Set("[A]", QStringLiteral("alpha"));
        Set("[c]", QStringLiteral("1"));
        Set("[i]", QStringLiteral("3"));
        Set("[Item3]", QStringLiteral("third"));
        Set("[Name]", QStringLiteral("i"));
        Set("[Empty Name]", QStringLiteral("spaced"));
    }
};

TEST_P(Substitution, GivesTheExpectedText) {
    const SubstitutionCase& c = GetParam();
    EXPECT_EQ(SubstituteVars(QString::fromUtf8(c.text), c.numeric, c.nameMode),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    References, Substitution,
    ::testing::Values(
        SubstitutionCase{"plain text", "plain text"},
        SubstitutionCase{"[A]", "alpha"},
        SubstitutionCase{"x[a]y", "xalphay"}, // keys ignore case
        SubstitutionCase{"x[Nope]y", "xy"},
        SubstitutionCase{"[Nope]", "0", true},
        SubstitutionCase{"[A]+[Nope]", "alpha+0", true},
        SubstitutionCase{"[Empty Name]", "spaced"},
        SubstitutionCase{"[Item[i]]", "third"},
        SubstitutionCase{"[Item[[Name]]]", "third"},
        SubstitutionCase{"[Item[i]]", "Item3", false, true},
        SubstitutionCase{"[A] and [c]", "A and c", false, true},
        SubstitutionCase{"[Item[Nope]]", "0", true}));

INSTANTIATE_TEST_SUITE_P(
    StrayAndUnterminatedBrackets, Substitution,
    ::testing::Values(
        SubstitutionCase{"a]b[c]", "a"},
        SubstitutionCase{"abc [def", "abc "},
        SubstitutionCase{"abc [de[A]f", "abc "},
        SubstitutionCase{"]", ""},
        SubstitutionCase{"[", ""},
        SubstitutionCase{"[]", ""},
        SubstitutionCase{"[]A]", "alpha"}, // "]" closing an empty name does not close it
        SubstitutionCase{"x[]]y", "x"},
        SubstitutionCase{"[A]]tail", "alpha"}));

INSTANTIATE_TEST_SUITE_P(
    CharacterCodes, Substitution,
    ::testing::Values(
        SubstitutionCase{"[#65]", "A"},
        SubstitutionCase{"a[#13][#10]b", "a\r\nb"},
        SubstitutionCase{"[#34]quoted[#34]", "\"quoted\""},
        SubstitutionCase{"[#91]A[#93]", "[A]"},
        SubstitutionCase{"[#300]", "\xC3\xBF"},  // clamped to 255: ÿ
        SubstitutionCase{"[#233]", "\xC3\xA9"},  // é in Windows-1252
        SubstitutionCase{"[#128]", "\xE2\x82\xAC"}, // € in Windows-1252
        SubstitutionCase{"[#65]", "#65", false, true}));

TEST_F(VarsTest, NonNumericCharacterCodeCountsAsZero) {
    EXPECT_EQ(SubstituteVars(QStringLiteral("[#x]")), QString(QChar(0)));
    EXPECT_EQ(SubstituteVars(QStringLiteral("[#-4]x")), QString(QChar(0)) + u'x');
    EXPECT_EQ(SubstituteVars(QStringLiteral("[#99999999999]")), QString(QChar(0)));
}

TEST_F(VarsTest, VariableNamedLikeACharacterCodeTakesPrecedence) {
    Set("[#65]", QStringLiteral("sixty-five"));
    EXPECT_EQ(SubstituteVars(QStringLiteral("[#65]")), QStringLiteral("sixty-five"));
}

TEST_F(VarsTest, LocalVariablesHideGlobalOnes) {
    Set("[x]", QStringLiteral("global"));
    LocalScope scope;
    EnsureLocalVars().Set(QStringLiteral("x"), QStringLiteral("local"));
    EXPECT_EQ(SubstituteVars(QStringLiteral("[x]")), QStringLiteral("local"));
}

TEST_F(VarsTest, VariablesHideBuiltinNamesOnlyWhenTheyExist) {
    EXPECT_EQ(SubstituteVars(QStringLiteral("[TomericVersion]")), QStringLiteral("561.0"));
}

TEST_F(VarsTest, TimeNamesInOneTextShowTheSameInstant) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        const QString text = SubstituteVars(QStringLiteral("[Time24]|[Hour]|[Minute]|[Second]"));
        const QStringList parts = text.split(u'|');
        ASSERT_EQ(parts.size(), 4);
        const QStringList clock = parts[0].split(u':');
        ASSERT_EQ(clock.size(), 3);
        EXPECT_EQ(clock[0], parts[1]);
        EXPECT_EQ(clock[1], parts[2]);
        EXPECT_EQ(clock[2], parts[3]);
    }
}

struct NormalizeCase {
    const char* text;
    const char* expected;
};

class NormalizeVarNameTest : public ::testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizeVarNameTest, MakesABracketedReference) {
    EXPECT_EQ(NormalizeVarName(QString::fromUtf8(GetParam().text)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Names, NormalizeVarNameTest,
                         ::testing::Values(NormalizeCase{"", ""}, NormalizeCase{"A", "[A]"},
                                           NormalizeCase{"[A]", "[A]"}, NormalizeCase{"[A", "[A]"},
                                           NormalizeCase{"A]", "[A]"},
                                           NormalizeCase{"Item[i]", "[Item[i]]"},
                                           NormalizeCase{"[Item[i]", "[Item[i]]"},
                                           NormalizeCase{"Item[i", "[Item[i]]"},
                                           NormalizeCase{"i]]", "[[i]]"},
                                           NormalizeCase{"[[a]b]", "[[a]b]"}));

TEST_F(VarsTest, VarKeyResolvesInnerReferences) {
    Set("[i]", QStringLiteral("2"));
    EXPECT_EQ(VarKey(QStringLiteral("[Item[i]]")), QStringLiteral("Item2"));
    EXPECT_EQ(VarKey(QStringLiteral("Item[i]")), QStringLiteral("Item2"));
    EXPECT_EQ(VarKey(QStringLiteral("")), QString());
}

TEST_F(VarsTest, GetVariableAcceptsNamesWithOrWithoutBrackets) {
    Set("Score", QStringLiteral("12"));
    EXPECT_EQ(Get("[Score]"), QStringLiteral("12"));
    EXPECT_EQ(Get("score"), QStringLiteral("12"));
    EXPECT_EQ(Get(""), QString());
}

} // namespace
} // namespace tomeric::testing
