// The key table: tags, types and families of keys, and the defaults the
// model starts from.

#include "publication/key_table.h"
#include "publication/object_properties.h"
#include "publication/publication_model.h"

#include <gtest/gtest.h>

#include <QSet>

namespace tomeric {
namespace {

struct KeyCase {
    const char* key;
    int tag;
    TKeyType type;
    TKeyScope scope;
};

class KeyTableRow : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyTableRow, HasItsTagTypeAndFamily) {
    const KeyCase& c = GetParam();
    const TKeyInfo* info = FindKey(QString::fromLatin1(c.key));
    ASSERT_NE(info, nullptr) << c.key;
    EXPECT_EQ(int(info->tag), c.tag) << c.key;
    EXPECT_EQ(info->type, c.type) << c.key;
    EXPECT_EQ(info->scope, c.scope) << c.key;
}

using enum TKeyType;
using enum TKeyScope;
INSTANTIATE_TEST_SUITE_P(
    SpotChecks, KeyTableRow,
    ::testing::Values(KeyCase{"TITLE=", 61, ktyText, ksSetting},
                      KeyCase{"screencolors=", 1, ktyInteger, ksSetting},
                      KeyCase{"STARTUPACTION=", 750, ktyTextPara, ksSetting},
                      KeyCase{"SUBROUTINEACTION=", 903, ktyTextPara, ksSetting},
                      KeyCase{"EMBEDDEDFILES=", 912, ktyText, ksSetting},
                      KeyCase{"PUBVERSION=", 917, ktyText, ksSetting},
                      KeyCase{"L_OK=", 800, ktyText, ksLanguage},
                      KeyCase{"L_DONWLOADFILE=", 833, ktyText, ksLanguage},
                      KeyCase{"NEWPAGE=", 4, ktyText, ksPage},
                      KeyCase{"MasterPage", 31, ktyMarker, ksPage},
                      KeyCase{"PAGEPALETTE=", 55, ktyText, ksPage},
                      KeyCase{"OBJECTTYPE=", 5, ktyInteger, ksObjectType},
                      KeyCase{"X=", 6, ktyInteger, ksObject},
                      KeyCase{"CONTAINEREND", 109, ktyMarker, ksObject},
                      KeyCase{"CHANGINGACTION=", 234, ktyInteger, ksClass},
                      KeyCase{"Y2=", 703, ktyInteger, ksClass},
                      KeyCase{"USEINTERNALLOOP=", 854, ktyYesNo, ksClass},
                      KeyCase{"MENUSTATE=", 955, ktyInteger, ksMenu},
                      KeyCase{"TRAYMENUBEGIN", 958, ktyMarker, ksMenu},
                      KeyCase{"LINKPOS=", 552, ktyInteger, ksIgnored},
                      KeyCase{"EDITSCROLLBAR=", 353, ktyYesNo, ksIgnored}));

TEST(KeyTable, TagsAndKeysAreUnique) {
    QSet<int> tags;
    QSet<QString> keys;
    for (const TKeyInfo& info : KeyTable()) {
        EXPECT_FALSE(tags.contains(info.tag)) << info.key;
        EXPECT_FALSE(keys.contains(QString::fromLatin1(info.key))) << info.key;
        tags.insert(info.tag);
        keys.insert(QString::fromLatin1(info.key));
        EXPECT_EQ(FindKeyByTag(info.tag), &info);
    }
}

// Every row is found from a line's key bytes in any case, and a text one
// letter away from a key finds nothing or exactly the key it spells.
TEST(KeyTable, LinesFindEveryKeyInAnyCaseAndNothingElse) {
    for (const TKeyInfo& info : KeyTable()) {
        const QByteArray key(info.key);
        const bool withEquals = key.endsWith('=');
        const QByteArray name = withEquals ? key.chopped(1) : key;
        EXPECT_EQ(FindKey(name, withEquals), &info) << info.key;
        EXPECT_EQ(FindKey(name.toLower(), withEquals), &info) << info.key;
        EXPECT_EQ(FindKey(QString::fromLatin1(key).toLower()), &info) << info.key;
        EXPECT_EQ(FindKey(name, !withEquals), nullptr) << info.key;
        const auto findsOnlyItsOwnKey = [&](const QByteArray& text) {
            const TKeyInfo* found = FindKey(text, withEquals);
            return !found || QByteArray(found->key) == text.toUpper() + (withEquals ? "=" : "");
        };
        for (qsizetype at = 0; at < name.size(); ++at) {
            for (const char other : {'A', 'q', 'Z', '_', '1', '\xC9'}) {
                QByteArray nearMiss = name;
                nearMiss[at] = other;
                EXPECT_TRUE(findsOnlyItsOwnKey(nearMiss)) << nearMiss.constData();
            }
        }
        EXPECT_TRUE(findsOnlyItsOwnKey(name + "S")) << info.key;
    }
    EXPECT_EQ(FindKey(QByteArrayView(), true), nullptr);
    EXPECT_EQ(FindKey(QByteArrayView(), false), nullptr);
}

TEST(KeyTable, HasThirtyFiveLanguageTextsInTagOrder) {
    int count = 0;
    for (const TKeyInfo& info : KeyTable()) {
        if (info.scope != TKeyScope::ksLanguage) continue;
        EXPECT_EQ(int(info.tag), 800 + count) << info.key;
        ++count;
    }
    EXPECT_EQ(count, kLanguageTextCount);
}

TEST(KeyTable, MarkersHaveNoEqualsSignAndOtherKeysEndWithOne) {
    for (const TKeyInfo& info : KeyTable()) {
        const bool endsWithEquals = QByteArrayView(info.key).endsWith('=');
        EXPECT_EQ(info.type == TKeyType::ktyMarker, !endsWithEquals) << info.key;
    }
}

TEST(Defaults, SettingsStartAtThePlayersValues) {
    const TPublicationSettings s;
    EXPECT_EQ(s.screenWidth, 640);
    EXPECT_EQ(s.screenHeight, 480);
    EXPECT_TRUE(s.allowEsc);
    EXPECT_TRUE(s.allowPageUpDn);
    EXPECT_EQ(s.windowProps, 31);
    EXPECT_EQ(s.shapeTransColor, 0x20000000);
    EXPECT_EQ(s.returnTime, 60);
    EXPECT_TRUE(s.showErrors);
    EXPECT_TRUE(s.useUpdateTimer);
    EXPECT_EQ(s.customFontName, QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(s.customFontSize, 8);
    EXPECT_EQ(s.customFontStyle, 1);
    EXPECT_EQ(s.customCharset, 1);
    EXPECT_EQ(s.cacheSize, 30);
    EXPECT_EQ(s.extractOp, 0x84);
    EXPECT_FALSE(s.hasOwnPalette);
}

TEST(Defaults, ObjectsStartAtTheirClassValues) {
    const TObjectRecord timer = MakeObjectRecord(otTimer);
    ASSERT_NE(timer.As<TTimerProps>(), nullptr);
    EXPECT_EQ(timer.As<TTimerProps>()->interval, 1000);
    EXPECT_TRUE(timer.As<TTimerProps>()->autoStop);
    EXPECT_EQ(timer.lineWidth, 1);
    EXPECT_EQ(timer.fillColor, SystemColour(15));

    const TObjectRecord button = MakeObjectRecord(otPushBtn);
    EXPECT_EQ(button.As<TPushButtonProps>()->bevelWidth, 2);
    EXPECT_TRUE(button.As<TPushButtonProps>()->depressEffect);
    EXPECT_EQ(MakeObjectRecord(otCheckBox).As<TCheckBoxProps>()->alignment, 1);
    EXPECT_EQ(MakeObjectRecord(otMediaPlayer).As<TMediaPlayerProps>()->paintMode, pStretch);
    EXPECT_EQ(MakeObjectRecord(otPicture).As<TPictureProps>()->transColor, 0x1FFFFFFF);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(MakeObjectRecord(otGroup).props));
}

TEST(Classes, TypeCodesNameTheirClasses) {
    EXPECT_STREQ(ObjectClassName(2), "TTomericArticle");
    EXPECT_STREQ(ObjectClassName(13), "TTomericRadioBtn");
    EXPECT_STREQ(ObjectClassName(24), "TTomericLinkedArticle");
    EXPECT_STREQ(ObjectClassName(1), "");
    EXPECT_STREQ(ObjectClassName(25), "");
}

struct TakesCase {
    int type;
    int tag;
    bool takes;
};

class ClassKeys : public ::testing::TestWithParam<TakesCase> {};

TEST_P(ClassKeys, FollowTheTakenByColumn) {
    const TakesCase& c = GetParam();
    EXPECT_EQ(ClassTakesKey(c.type, c.tag), c.takes)
        << ObjectClassName(c.type) << " tag " << c.tag;
}

INSTANTIATE_TEST_SUITE_P(
    TakenBy, ClassKeys,
    ::testing::Values(TakesCase{otPushBtn, ktFont, true}, TakesCase{otTimer, ktFont, false},
                      TakesCase{otWebBrowser, ktFont, true}, TakesCase{otText, ktHint, false},
                      TakesCase{otText, ktWordWrap, true}, TakesCase{otEditField, ktWordWrap, true},
                      TakesCase{otListBox, ktDblClick, true}, TakesCase{otComboBox, ktDblClick, false},
                      TakesCase{otComboBox, ktXPTheme, true}, TakesCase{otLinkedArticle, ktText, true},
                      TakesCase{otArticle, ktText, false}, TakesCase{otArticle, ktScrollBar, true},
                      TakesCase{otLinkedArticle, ktHint, false}, TakesCase{otRect, ktText, false},
                      TakesCase{otGroup, ktObjAction, false}, TakesCase{otContainer, ktHMargin, true},
                      TakesCase{otFlash, ktImageStyle, true}, TakesCase{otPolygon, ktPoints, true},
                      TakesCase{otLine, ktY2, true}, TakesCase{otRect, ktY2, false},
                      TakesCase{otTimer, ktObjEnterAction, false},
                      TakesCase{otMediaPlayer, ktHint, false}));

} // namespace
} // namespace tomeric
