// Edit masks: the publication's notation translated into QLineEdit masks,
// and the value a masked field gives its variable.

#include "objects/edit_mask.h"

#include "objects_test_support.h"

#include <gtest/gtest.h>

#include <QLineEdit>

namespace tomeric::testing {
namespace {

struct TMaskCase {
    const char* mask;
    const char* qtMask;
    bool saveLiterals;
    char blank;
    bool leadingBlanks;
};

class MaskTranslation : public ::testing::TestWithParam<TMaskCase> {};

TEST_P(MaskTranslation, MapsOntoQtMaskAndReadsItsFields)
{
    const TMaskCase& c = GetParam();
    const TEditMask mask = ParseEditMask(QString::fromUtf8(c.mask), u'/', u':');
    EXPECT_EQ(mask.qtMask, QString::fromUtf8(c.qtMask));
    EXPECT_EQ(mask.saveLiterals, c.saveLiterals);
    EXPECT_EQ(mask.blank, QChar(c.blank));
    EXPECT_EQ(mask.leadingBlanks, c.leadingBlanks);
}

INSTANTIATE_TEST_SUITE_P(Notation, MaskTranslation, ::testing::Values(
    // Required and optional digits swap their letters between the notations.
    TMaskCase{"!90/90/0000;1;_", "09/09/9999;_", true, '_', true},
    TMaskCase{"(999) 000-0000;0;_", "(000) 999-9999;_", false, '_', false},
    // Letters, letters or digits, any character; case directives.
    TMaskCase{">LL<ll;1; ", ">AA<aa; ", true, ' ', false},
    TMaskCase{"<>cC", "!xX;_", true, '_', false},
    TMaskCase{"AaC#", "NnX#;_", true, '_', false},
    // A literal that is a Qt mask letter is escaped; "\" keeps a mask letter literal.
    TMaskCase{"\\N-AAA", "\\N-NNN;_", true, '_', false},
    TMaskCase{"\\0L", "\\0A;_", true, '_', false},
    // "_" is a space; the separators come from the locale.
    TMaskCase{"99_99", "00 00;_", true, '_', false},
    TMaskCase{"00:00;1;*", "99:99;*", true, '*', false},
    // An escaped ";" belongs to the mask.
    TMaskCase{"0\\;0;0;-", "9\\;9;-", false, '-', false}));

TEST(EditMask, EmptyMaskOrOnlyFieldsIsUnmasked)
{
    EXPECT_FALSE(ParseEditMask(QString()).IsMasked());
    EXPECT_FALSE(ParseEditMask(QStringLiteral(";1;_")).IsMasked());
}

TEST(EditMask, LocaleSeparatorsReplaceSlashAndColon)
{
    EXPECT_EQ(ParseEditMask(QStringLiteral("00/00"), u'.', u':').qtMask, QStringLiteral("99.99;_"));
    EXPECT_EQ(ParseEditMask(QStringLiteral("00:00"), u'/', u'h').qtMask, QStringLiteral("99\\h99;_"));
}

struct TValueCase {
    const char* mask;
    const char* display;
    const char* value;
    bool satisfied;
};

class MaskedValues : public ::testing::TestWithParam<TValueCase> {};

TEST_P(MaskedValues, EmptyPositionsAreSpacesAndLiteralsFollowTheSaveField)
{
    const TValueCase& c = GetParam();
    const TEditMask mask = ParseEditMask(QString::fromUtf8(c.mask));
    EXPECT_EQ(MaskedValue(mask, QString::fromUtf8(c.display)), QString::fromUtf8(c.value));
    EXPECT_EQ(MaskSatisfied(mask, QString::fromUtf8(c.display)), c.satisfied);
}

INSTANTIATE_TEST_SUITE_P(Values, MaskedValues, ::testing::Values(
    TValueCase{"!90/90/0000;1;_", "12/05/2024", "12/05/2024", true},
    TValueCase{"!90/90/0000;1;_", "__/__/____", "  /  /    ", false},
    TValueCase{"00/00/0000;0;_", "12/05/2024", "12052024", true},
    // "!": an optional position left empty moves to the front of its run.
    TValueCase{"!99/99/0000;1;_", "5_/05/2024", " 5/05/2024", true},
    TValueCase{"99/99/0000;1;_", "5_/05/2024", "5 /05/2024", true},
    // "90": the first digit may be left out, the second may not.
    TValueCase{"!90/90/0000;1;_", "5_/05/2024", " 5/05/2024", false},
    // A required digit missing.
    TValueCase{"90/90/0000;1;_", "12/05/202_", "12/05/202 ", false},
    TValueCase{"(999) 000-0000;0;*", "(***) 555-1234", "   5551234", true}));

TEST(EditMask, QLineEditWithTheTranslatedMaskGivesTheExpectedValue)
{
    ObjectsApplication();
    const TEditMask mask = ParseEditMask(QStringLiteral("!90/90/0000;1;_"));
    QLineEdit edit;
    edit.setInputMask(mask.qtMask);
    edit.setText(QStringLiteral("12052024"));
    EXPECT_EQ(edit.displayText(), QStringLiteral("12/05/2024"));
    EXPECT_EQ(MaskedValue(mask, edit.displayText()), QStringLiteral("12/05/2024"));
    EXPECT_TRUE(MaskSatisfied(mask, edit.displayText()));
    edit.clear();
    EXPECT_EQ(MaskedValue(mask, edit.displayText()), QStringLiteral("  /  /    "));
}

} // namespace
} // namespace tomeric::testing
