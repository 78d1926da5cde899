// The record grammar: pages, unique page names, objects, groups and
// containers, records out of place, settings and class-specific rules.

#include "publication_test_support.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

using testing::FirstObject;
using testing::Parse;

TEST(Settings, ApplyAnywhereAndKeepDefaultsOtherwise) {
    const TPublication pub = Parse({"TITLE=Musée", "NEWPAGE=One", "OBJECTTYPE=5",
                                    "SCREENWIDTH=800", "ALLOWESC=No", "TITLE="});
    EXPECT_EQ(pub.settings.title, QStringLiteral("Musée")); // an empty TITLE= changes nothing
    EXPECT_EQ(pub.settings.screenWidth, 800);
    EXPECT_EQ(pub.settings.screenHeight, 480);
    EXPECT_FALSE(pub.settings.allowEsc);
}

TEST(Settings, RestrictedValuesAreSkippedWhenInvalid) {
    const TPublication pub = Parse({"SCREENCOLORS=300", "BIDIMODE=7", "CACHESIZE=0",
                                    "CUSTOMFONTSTYLE=255", "EXTRACTOP=260", "SCREENWIDTH=wide"});
    EXPECT_EQ(pub.settings.screenColors, 0);
    EXPECT_EQ(pub.settings.biDiMode, bdLeftToRight);
    EXPECT_EQ(pub.settings.cacheSize, 1);
    EXPECT_EQ(pub.settings.customFontStyle, 15);
    EXPECT_EQ(pub.settings.extractOp, 4);
    EXPECT_EQ(pub.settings.screenWidth, 640); // malformed integer: skipped
    EXPECT_EQ(Parse({"SCREENCOLORS=65536", "BIDIMODE=1"}).settings.screenColors, 65536);
}

TEST(Settings, LanguageTextsFillTheirSlot) {
    const TPublication pub = Parse({"L_YES=Oui", "L_PLEASEWAIT=Patientez…"});
    EXPECT_EQ(pub.settings.LanguageText(ltYes), QStringLiteral("Oui"));
    EXPECT_EQ(pub.settings.LanguageText(ltPleaseWait), QStringLiteral("Patientez…"));
    EXPECT_TRUE(pub.settings.LanguageText(ltNo).isEmpty());
}

TEST(Settings, EmbeddedFilesAreReadOnlyInPreviewMode) {
    EXPECT_TRUE(Parse({"EMBEDDEDFILES=a.png=/tmp/a.png"}).settings.embeddedFiles.isEmpty());
    TParseOptions preview;
    preview.previewMode = true;
    const TPublication pub = Parse({"EMBEDDEDFILES=a.png=/tmp/a.png¶b.png=/tmp/b.png¶A.PNG=x"}, preview);
    const auto pairs = ParseEmbeddedFileList(pub.settings.embeddedFiles);
    ASSERT_EQ(pairs.size(), 2);
    EXPECT_EQ(pairs[1].second, QStringLiteral("/tmp/b.png"));
}

TEST(Settings, SubroutineNamesAreTheLinesBeginningWithAColon) {
    const TPublication pub =
        Parse({"SUBROUTINEACTION=:Hello¶AlertBox \"Hi\"¶Return¶ :NotOne¶:Second"});
    EXPECT_EQ(pub.subroutineNames, (QStringList{"Hello", "Second"}));
    EXPECT_TRUE(pub.HasSubroutine(QStringLiteral("hello")));
}

// Keys read alike whatever their length (under four bytes, eight, sixteen,
// beyond) and case, with or without blanks around them; a value repeated
// from object to object, or left by a class that does not take it, reads
// as written for each object that takes it.
TEST(Records, KeysOfEveryLengthAndRepeatedValuesReadAsWritten) {
    const TPublication pub = Parse({
        "deactivateaction=Beep¶Return", "L_INSTFOLDERPROMPT=Dossier ?", "NEWPAGE=One",
        "OBJECTTYPE=3", "X=7", "h=9", "FONT=Arial", "FontSize=12", "TEXT=Été¶là", "VARNAME=Skipped",
        "OBJECTTYPE=5", "FONT=Courier", "TEXT=A rectangle has none",
        "OBJECTTYPE=3", "FONT=Arial", "TEXT=Été¶là", "OBJENTERACTION=Beep",
        "OBJECTTYPE=12", "VARNAME=Choice", "OBJECTTYPE=12", "VARNAME=[Choice]",
        "OBJECTTYPE=12", " VarName = Choice", "OBJECTTYPE=12", "VARNAME=Choice"});
    EXPECT_EQ(pub.settings.deactivateAction, QStringLiteral("Beep\r\nReturn"));
    EXPECT_EQ(pub.settings.LanguageText(ltInstFolderPrompt), QStringLiteral("Dossier ?"));
    const auto& objects = pub.pages.at(1).objects;
    ASSERT_EQ(objects.size(), 7u);
    const auto* first = objects[0].As<TPushButtonProps>();
    const auto* second = objects[2].As<TPushButtonProps>();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(objects[0].x, 7);
    EXPECT_EQ(objects[0].height, 9);
    EXPECT_EQ(first->fontSize, 12);
    for (const auto* button : {first, second}) {
        EXPECT_EQ(button->fontName, QStringLiteral("Arial"));
        EXPECT_EQ(button->text, QStringLiteral("Été\r\nlà"));
    }
    EXPECT_TRUE(first->enterAction.isEmpty());
    EXPECT_EQ(second->enterAction, QStringLiteral("Beep"));
    const QString expectedNames[] = {"[Choice]", "[Choice]", "[ Choice]", "[Choice]"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(objects[3 + i].As<TCheckBoxProps>()->varName, expectedNames[i]) << i;
}

// ---- pages ------------------------------------------------------------------------------

TEST(Pages, MasterPageAlwaysExistsAndRecordsBeforeAnyPageAreSkipped) {
    const TPublication pub = Parse({"PAGECOLOR=255", "OBJECTTYPE=5", "W=10"});
    ASSERT_EQ(pub.pages.size(), 1u);
    EXPECT_TRUE(pub.pages[0].objects.empty());
    EXPECT_EQ(pub.pages[0].background.color, 0xFFFFFF);
}

TEST(Pages, MasterPageRecordsGoToPageZero) {
    const TPublication pub = Parse({"MASTERPAGE", "PAGECOLOR=255", "OBJECTTYPE=5",
                                    "NEWPAGE=One", "OBJECTTYPE=6", "MASTERPAGE", "OBJECTTYPE=7"});
    EXPECT_EQ(pub.pages[0].background.color, 255);
    ASSERT_EQ(pub.pages[0].objects.size(), 2u);
    EXPECT_EQ(pub.pages[0].objects[1].objType, otLine);
    EXPECT_EQ(pub.pages[1].objects.size(), 1u);
}

struct NameCase {
    std::vector<const char*> requested;
    std::vector<const char*> expected;
};

class UniquePageNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(UniquePageNames, FollowTheRenamingRule) {
    QByteArray text;
    for (const char* name : GetParam().requested) text += QByteArray("NEWPAGE=") + name + "\r\n";
    const TPublication pub = ParsePublicationText(text);
    ASSERT_EQ(pub.pages.size(), GetParam().expected.size() + 1);
    for (std::size_t i = 0; i < GetParam().expected.size(); ++i)
        EXPECT_EQ(pub.pages[i + 1].name, QString::fromLatin1(GetParam().expected[i]));
}

INSTANTIATE_TEST_SUITE_P(
    Rule, UniquePageNames,
    ::testing::Values(NameCase{{"Intro", "Intro"}, {"Intro", "Intro1"}},
                      NameCase{{"My Page 1", "My Page 1"}, {"My Page 1", "My Page 2"}},
                      NameCase{{"Page 1", "Page 1"}, {"Page 1", "Page1"}},
                      NameCase{{"A", "a", "A"}, {"A", "a1", "A2"}},
                      NameCase{{"Intro", "Intro1", "Intro"}, {"Intro", "Intro1", "Intro2"}},
                      NameCase{{"Page 12  ", "Page 12  "}, {"Page 12  ", "Page1"}},
                      NameCase{{"42", "42"}, {"42", "1"}}));

TEST(Pages, FindPageIgnoresCase) {
    const TPublication pub = Parse({"NEWPAGE=Intro", "NEWPAGE=Gallery"});
    EXPECT_EQ(pub.FindPage(QStringLiteral("GALLERY")), 2);
    EXPECT_EQ(pub.FindPage(QStringLiteral("intro")), 1);
    EXPECT_EQ(pub.FindPage(QStringLiteral("Attic")), -1);
    EXPECT_EQ(pub.FindPage(QString()), 0); // the master page's empty name
}

TEST(Pages, ManyEqualNamesStayUniqueAndFast) {
    QByteArray text;
    for (int i = 0; i < 20000; ++i) text += "NEWPAGE=Same\r\n";
    const TPublication pub = ParsePublicationText(text);
    ASSERT_EQ(pub.pages.size(), 20001u);
    EXPECT_EQ(pub.pages.back().name, QStringLiteral("Same19999"));
}

TEST(Pages, BackgroundRecordsSetTheCurrentPage) {
    const TPublication pub = Parse({"NEWPAGE=One", "PAGESTYLE=257", "PAGEGRADIENT1=1",
                                    "PAGEGRADIENTDIR=0", "SHOWMASTERPAGE=No",
                                    "PGENTERACTION=SetVar \"[a]\" \"1\"¶Beep",
                                    "PAGEEFFECT=Fade", "EFFECTSPEED=Fast", "PAGEWALLPAPER=wall.bmp",
                                    "WALLPAPERSTYLE=2"});
    const TPageBackground& b = pub.pages[1].background;
    EXPECT_EQ(b.style, pbGradient); // low byte of 257
    EXPECT_EQ(b.gradient1, 1);
    EXPECT_EQ(b.gradient2, 0x0000FF);
    EXPECT_EQ(b.gradientDir, G_Horz);
    EXPECT_FALSE(b.showMasterPage);
    EXPECT_EQ(b.enterAction, QStringLiteral("SetVar \"[a]\" \"1\"\r\nBeep"));
    EXPECT_EQ(b.transitionName, QStringLiteral("Fade"));
    EXPECT_EQ(b.transitionOptions, QStringLiteral("Fast"));
    EXPECT_EQ(b.wallpaperStyle, wsStretched);
}

TEST(Pages, PaletteMarksThePublicationAsHavingOne) {
    const TPublication plain = Parse({"NEWPAGE=One"});
    EXPECT_FALSE(plain.settings.hasOwnPalette);
    EXPECT_FALSE(plain.pages[1].background.palette.has_value());

    const TPublication pub = Parse({"NEWPAGE=One", "PAGEPALETTE=255 65280 16711680"});
    EXPECT_TRUE(pub.settings.hasOwnPalette);
    ASSERT_TRUE(pub.pages[1].background.palette.has_value());
    EXPECT_EQ((*pub.pages[1].background.palette)[0], (TPaletteEntry{255, 0, 0}));
    EXPECT_EQ((*pub.pages[1].background.palette)[2], (TPaletteEntry{0, 0, 0}));
}

// ---- objects ----------------------------------------------------------------------------

TEST(Objects, RecordsBeforeTheFirstObjectOfAPageAreSkipped) {
    const TPublication pub = Parse({"NEWPAGE=One", "OBJECTTYPE=5", "W=50", "NEWPAGE=Two",
                                    "W=100", "OBJECTTYPE=5"});
    EXPECT_EQ(FirstObject(pub, 1).width, 50);
    EXPECT_EQ(FirstObject(pub, 2).width, 0);
}

TEST(Objects, ObjectType25CreatesNothingAndLaterRecordsGoToThePreviousObject) {
    const TPublication pub = Parse({"NEWPAGE=One", "OBJECTTYPE=3", "NAME=Btn",
                                    "OBJECTTYPE=25", "W=70", "TEXT=Go", "OBJECTTYPE=1",
                                    "OBJECTTYPE=x", "H=20"});
    ASSERT_EQ(pub.pages[1].objects.size(), 1u);
    const TObjectRecord& button = FirstObject(pub);
    EXPECT_EQ(button.width, 70);
    EXPECT_EQ(button.height, 20);
    EXPECT_EQ(button.As<TPushButtonProps>()->text, QStringLiteral("Go"));
}

TEST(Objects, CommonRecordsApplyToEveryClass) {
    const TPublication pub = Parse({"NEWPAGE=One", "OBJECTTYPE=6", "X=10", "Y=20", "W=30",
                                    "H=40", "NAME=Sun", "VISIBLE=No", "ENABLED=No",
                                    "TABORDER=65537", "ANCHOR=5", "LINECOLOR=255", "LINEWIDTH=3",
                                    "LINESTYLE=6", "FILLCOLOR=65280", "FILLPATTERN=258",
                                    "FILLMODE=Yes"});
    const TObjectRecord& o = FirstObject(pub);
    EXPECT_EQ(o.objType, otCircle);
    EXPECT_EQ(QString::fromLatin1(o.ClassName()), QStringLiteral("TTomericCircle"));
    EXPECT_EQ(o.x, 10);
    EXPECT_EQ(o.y, 20);
    EXPECT_EQ(o.width, 30);
    EXPECT_EQ(o.height, 40);
    EXPECT_EQ(o.name, QStringLiteral("Sun"));
    EXPECT_FALSE(o.visible);
    EXPECT_FALSE(o.enabled);
    EXPECT_EQ(o.tabOrder, 1); // 16 bits
    EXPECT_EQ(o.anchor, anFill);
    EXPECT_EQ(o.lineColor, 255);
    EXPECT_EQ(o.lineWidth, 3);
    EXPECT_EQ(o.lineStyle, qxpsSunken);
    EXPECT_EQ(o.fillColor, 65280);
    EXPECT_EQ(o.fillPattern, 2); // low byte
    EXPECT_TRUE(o.transparent);
}

TEST(Objects, InvalidEnumeratedValuesAreSkipped) {
    const TPublication pub = Parse({"NEWPAGE=One",
                                    "OBJECTTYPE=3", "LINESTYLE=9", "IMAGESTYLE=3",
                                    "OBJECTTYPE=9", "EDITCASE=3",
                                    "OBJECTTYPE=4", "PICTSTYLE=7",
                                    "OBJECTTYPE=16", "ALIGN=2"});
    const auto& objects = pub.pages[1].objects;
    EXPECT_EQ(objects[0].lineStyle, qxpsSolid);
    EXPECT_EQ(objects[0].As<TPushButtonProps>()->imageStyle, qxbsNone);
    EXPECT_EQ(objects[1].As<TEditFieldProps>()->charCase, ecNormal);
    EXPECT_EQ(objects[2].As<TPictureProps>()->paintMode, pNormal);
    EXPECT_EQ(objects[3].As<TTrackBarProps>()->orientation, slHoriz);
}

TEST(Objects, KeysAClassDoesNotTakeAreSkipped) {
    const TPublication pub = Parse({"NEWPAGE=One", "OBJECTTYPE=5", "TEXT=Nope", "FONT=Arial",
                                    "W=5", "OBJECTTYPE=15", "FONT=Arial", "INTERVAL=250",
                                    "OBJECTTYPE=8", "HINT=Nope", "TEXT=Yes"});
    const auto& objects = pub.pages[1].objects;
    EXPECT_EQ(objects[0].width, 5);
    EXPECT_EQ(objects[1].As<TTimerProps>()->interval, 250);
    EXPECT_EQ(objects[2].As<TTextProps>()->text, QStringLiteral("Yes"));
}

TEST(Objects, ClassRecordsSetTheirFamilyProperties) {
    const TPublication pub = Parse(
        {"NEWPAGE=One",
         "OBJECTTYPE=3", "TEXT=^Go¶on", "FONT=Arial", "FONTSIZE=12", "FONTSTYLE=21",
         "TEXTCOLOR=255", "OBJACTION=GotoPage \"Two\"", "OBJRACTION=Beep", "KEY=65601",
         "ALIGN=260", "UPIMAGE=up.png", "UPTRANSCOLOR=0", "BEVELWIDTH=3",
         "OBJECTTYPE=12", "VARNAME=Agree", "INITSTATE=1", "AUTOSIZE=Yes",
         "OBJECTTYPE=15", "VARNAME=[Elapsed", "RUNONCE=Yes", "AUTOSTART=No",
         "OBJECTTYPE=9", "EDITMASK=000", "EDITPASSWORD=Yes", "EDITLEN=8",
         "OBJECTTYPE=9", "EDITPASSWORD=Yes", "EDITNUMBER=Yes",
         "OBJECTTYPE=22", "ENHSECURITY=Yes", "IMAGESTYLE=2",
         "OBJECTTYPE=23", "PICTSTYLE=1", "POINTS=3,0,0,10,0,5,8", "DRAGMODE=261"});
    const auto& o = pub.pages[1].objects;
    const auto* button = o[0].As<TPushButtonProps>();
    EXPECT_EQ(button->text, QStringLiteral("^Go\r\non"));
    EXPECT_EQ(button->fontName, QStringLiteral("Arial"));
    EXPECT_EQ(button->fontSize, 12);
    EXPECT_EQ(button->fontStyle, 5); // low four bits
    EXPECT_EQ(button->textColor, 255);
    EXPECT_EQ(button->clickAction, QStringLiteral("GotoPage \"Two\""));
    EXPECT_EQ(button->rClickAction, QStringLiteral("Beep"));
    EXPECT_EQ(button->hotKey, 65);
    EXPECT_EQ(button->alignment, 4);
    EXPECT_EQ(button->upImage, QStringLiteral("up.png"));
    EXPECT_EQ(button->upTransColor, 0);
    EXPECT_EQ(button->bevelWidth, 3);

    const auto* check = o[1].As<TCheckBoxProps>();
    EXPECT_EQ(check->varName, QStringLiteral("[Agree]"));
    EXPECT_EQ(check->initialState, qxbsDown);
    EXPECT_TRUE(check->autoSize);

    const auto* timer = o[2].As<TTimerProps>();
    EXPECT_EQ(timer->varName, QStringLiteral("[Elapsed]"));
    EXPECT_TRUE(timer->runOnce);
    EXPECT_FALSE(timer->autoStart);

    const auto* password = o[3].As<TEditFieldProps>();
    EXPECT_TRUE(password->password);
    EXPECT_TRUE(password->editMask.isEmpty());
    EXPECT_EQ(password->maxLength, 8);
    const auto* number = o[4].As<TEditFieldProps>();
    EXPECT_TRUE(number->numbersOnly);
    EXPECT_FALSE(number->password);

    const auto* flash = o[5].As<TFlashProps>();
    EXPECT_FALSE(flash->allowScriptAccess);
    EXPECT_EQ(flash->scaleMode, 2);

    const auto* polygon = o[6].As<TPolygonProps>();
    EXPECT_TRUE(polygon->useImageRgn);
    EXPECT_EQ(polygon->points, QStringLiteral("3,0,0,10,0,5,8"));
    EXPECT_EQ(polygon->dragMode, 5);
}

TEST(Objects, TrackBarRangeKeepsMinimumBelowMaximum) {
    const TPublication pub = Parse({"NEWPAGE=One", "OBJECTTYPE=16", "MIN=150",
                                    "OBJECTTYPE=16", "MAX=-5", "OBJECTTYPE=16", "MIN=10",
                                    "MAX=20", "CHANGINGACTION=SetVar \"[v]\" \"1\"¶Beep"});
    const auto& o = pub.pages[1].objects;
    EXPECT_EQ(o[0].As<TTrackBarProps>()->minimum, 150);
    EXPECT_EQ(o[0].As<TTrackBarProps>()->maximum, 151);
    EXPECT_EQ(o[1].As<TTrackBarProps>()->minimum, -6);
    EXPECT_EQ(o[1].As<TTrackBarProps>()->maximum, -5);
    EXPECT_EQ(o[2].As<TTrackBarProps>()->minimum, 10);
    EXPECT_EQ(o[2].As<TTrackBarProps>()->maximum, 20);
    EXPECT_EQ(o[2].As<TTrackBarProps>()->changingAction,
              QStringLiteral("SetVar \"[v]\" \"1\"\r\nBeep"));
}

TEST(Objects, LineIsPlacedWhenY2IsRead) {
    const TPublication pub = Parse({"NEWPAGE=One", "OBJECTTYPE=7", "LINEWIDTH=2", "X1=50",
                                    "Y1=40", "X2=10", "Y2=100", "ENDCAPS=513"});
    const TObjectRecord& line = FirstObject(pub);
    const auto* props = line.As<TLineProps>();
    EXPECT_EQ(props->start, QPoint(50, 40));
    EXPECT_EQ(props->end, QPoint(10, 100));
    EXPECT_TRUE(props->HasStartArrow());
    EXPECT_TRUE(props->HasEndArrow());
    EXPECT_EQ(line.x, 8);
    EXPECT_EQ(line.y, 38);
    EXPECT_EQ(line.width, 44);
    EXPECT_EQ(line.height, 64);

    const TPublication unplaced = Parse({"NEWPAGE=One", "OBJECTTYPE=7", "X1=5", "Y1=5", "X2=9"});
    EXPECT_EQ(FirstObject(unplaced).width, 0);
}

TEST(Objects, LinkedArticlesAreCounted) {
    const TPublication pub = Parse({"NEWPAGE=One", "OBJECTTYPE=24", "FILENAME=story.txt",
                                    "TEXT=Once¶upon", "OBJECTTYPE=24", "NEWPAGE=Two",
                                    "OBJECTTYPE=20", "GROUPBEGIN", "OBJECTTYPE=24", "GROUPEND"});
    EXPECT_EQ(pub.linkedArticleCount, 3);
    EXPECT_EQ(FirstObject(pub).As<TArticleProps>()->text, QStringLiteral("Once\r\nupon"));
}

// ---- groups and containers -------------------------------------------------------------

TEST(Nesting, GroupsAndContainersHoldTheirMembersWithRelativeCoordinates) {
    const TPublication pub = Parse({"NEWPAGE=One",
                                    "OBJECTTYPE=20", "NAME=Group", "X=100", "Y=100", "GROUPBEGIN",
                                    "OBJECTTYPE=5", "NAME=Inner", "X=5", "Y=6",
                                    "OBJECTTYPE=21", "NAME=Box", "CONTAINERBEGIN",
                                    "OBJECTTYPE=3", "NAME=Deep", "X=1",
                                    "CONTAINEREND",
                                    "HMARGIN=4",
                                    "GROUPEND",
                                    "W=300",
                                    "OBJECTTYPE=6", "NAME=After"});
    const auto& top = pub.pages[1].objects;
    ASSERT_EQ(top.size(), 2u);
    const TObjectRecord& group = top[0];
    EXPECT_EQ(group.name, QStringLiteral("Group"));
    EXPECT_EQ(group.width, 300); // after GROUPEND the group is current again
    ASSERT_EQ(group.members.size(), 2u);
    EXPECT_EQ(group.members[0].x, 5); // relative to the group
    const TObjectRecord& box = group.members[1];
    EXPECT_EQ(box.As<TContainerProps>()->hMargin, 4);
    ASSERT_EQ(box.members.size(), 1u);
    EXPECT_EQ(box.members[0].name, QStringLiteral("Deep"));
    EXPECT_EQ(box.members[0].x, 1);
    EXPECT_EQ(top[1].name, QStringLiteral("After"));
}

TEST(Nesting, MarkersOutOfPlaceAreSkipped) {
    const TPublication pub = Parse({"NEWPAGE=One", "GROUPBEGIN", "OBJECTTYPE=5",
                                    "GROUPBEGIN", "CONTAINERBEGIN", "OBJECTTYPE=6", "GROUPEND",
                                    "CONTAINEREND", "OBJECTTYPE=20", "CONTAINERBEGIN",
                                    "OBJECTTYPE=5"});
    EXPECT_EQ(pub.pages[1].objects.size(), 4u);
    for (const auto& o : pub.pages[1].objects) EXPECT_TRUE(o.members.empty());
}

TEST(Nesting, AnOpenGroupEndsWithItsPage) {
    const TPublication pub = Parse({"NEWPAGE=One", "OBJECTTYPE=20", "GROUPBEGIN",
                                    "OBJECTTYPE=5", "NEWPAGE=Two", "OBJECTTYPE=6"});
    EXPECT_EQ(pub.pages[1].objects[0].members.size(), 1u);
    EXPECT_EQ(pub.pages[2].objects.size(), 1u);
}

TEST(Limits, PagesAndObjectsBeyondTheLimitsAreSkippedAndReported) {
    TParseOptions options;
    options.maxPages = 2;
    options.maxObjects = 3;
    const TPublication pub = Parse({"NEWPAGE=One", "OBJECTTYPE=5", "OBJECTTYPE=5", "NEWPAGE=Two",
                                    "OBJECTTYPE=5", "OBJECTTYPE=6", "W=40", "NEWPAGE=Three",
                                    "OBJECTTYPE=5", "TITLE=Still read"},
                                   options);
    EXPECT_TRUE(pub.limitReached);
    ASSERT_EQ(pub.pages.size(), 3u);
    EXPECT_EQ(pub.pages[2].objects.size(), 1u);
    EXPECT_EQ(pub.pages[2].objects[0].width, 0); // W=40 did not reach the last object kept
    EXPECT_EQ(pub.settings.title, QStringLiteral("Still read"));
    EXPECT_FALSE(Parse({"NEWPAGE=One", "OBJECTTYPE=5"}).limitReached);
}

TEST(Nesting, DepthIsBoundedAndTheRestStaysReadable) {
    QByteArray text = "NEWPAGE=One\r\n";
    const int depth = 5000;
    for (int i = 0; i < depth; ++i) text += "OBJECTTYPE=20\r\nGROUPBEGIN\r\n";
    for (int i = 0; i < depth; ++i) text += "GROUPEND\r\n";
    text += "OBJECTTYPE=5\r\nNAME=Last\r\n";
    const TPublication pub = ParsePublicationText(text);
    const auto& top = pub.pages[1].objects;
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(top[1].name, QStringLiteral("Last"));
    int levels = 0;
    for (const TObjectRecord* o = &top[0]; !o->members.empty(); o = &o->members.back()) ++levels;
    EXPECT_LE(levels, kMaxObjectNesting);
}

} // namespace
} // namespace tomeric
