#pragma once
// The key table of the publication text "RUNTIME.PUB": every key the player
// knows, with the tag records are dispatched by, the type its value is read
// as, and the family of records it belongs to. One data table (key_table.cpp)
// is the single place a key is defined.

#include <QByteArrayView>
#include <QStringView>

#include <cstddef>
#include <cstdint>

namespace tomeric {

// How a value is read.
enum class TKeyType : std::uint8_t {
    ktyInteger,  // signed decimal integer (colours: 0x00BBGGRR, negative = system colour)
    ktyYesNo,    // true only for "Yes", any case
    ktyText,     // the value as it stands
    ktyTextPara, // text whose 0xB6 characters stand for line breaks (CR LF)
    ktyMarker,   // a line without "=": no value
};

// Which family of records a key belongs to; the reader dispatches on it.
enum class TKeyScope : std::uint8_t {
    ksSetting,    // publication settings: apply anywhere
    ksLanguage,   // L_ texts: apply anywhere
    ksPage,       // page structure and page background records
    ksObjectType, // OBJECTTYPE=
    ksObject,     // records every object takes (and group/container nesting)
    ksClass,      // records only some object classes take
    ksMenu,       // menu structure and menu items
    ksIgnored,    // read and ignored
};

// Record tags. The numbers are those of the publication format and appear in
// the records the reader hands on.
enum TKeyTag : int {
    ktNone = 0,
    // Publication settings
    ktScreenColors = 1, ktScreenWidth = 2, ktScreenHeight = 3,
    ktAllowEsc = 35, ktAllowPageUpDn = 36, ktAuthor = 37,
    ktAutoReturn = 42, ktReturnTime = 43,
    ktTitle = 61, ktExitPassword = 63, ktReturnAction = 65,
    ktWindowStyle = 66, ktWindowOrder = 67, ktWindowProps = 71,
    ktExtractOp = 75, ktExtractDir = 76,
    ktAppCursor = 89, ktHotSpotCursor = 90, ktMouseExit = 91, ktShowErrors = 92,
    ktShowMarquee = 93, ktBypassPrintDlg = 96,
    ktDragCursor = 117, ktBusyCursor = 119,
    ktStartupAction = 750, ktShutdownAction = 751, ktActivateAction = 752,
    ktDeactivateAction = 753, ktPageChangeAction = 754, ktUseUpdateTimer = 755,
    ktHelpFile = 757, ktBkndColor = 758, ktShapeFile = 759, ktShapeTransColor = 760,
    ktStartPassword = 761, ktNoCtrlAltDel = 762, ktAlertBoxImage = 763,
    ktMsgBoxImage = 764, ktCustomFontName = 765, ktCustomFontSize = 766,
    ktCustomFontStyle = 767, ktLinkColor = 768, ktCustomCharset = 769,
    ktCacheSize = 770, ktNoPrintScrn = 771, ktScreenAutoSize = 772, ktWindowPos = 773,
    ktWindowRegKey = 774, ktMinPubWidth = 775, ktMinPubHeight = 776, ktBiDiMode = 777,
    ktSubroutineAction = 903, ktExitBoxImage = 906, ktEmbeddedFiles = 912,
    ktPubVersion = 917,
    // Language texts: 800 .. 834 (see TLanguageText)
    ktFirstLanguageText = 800, ktLastLanguageText = 834,
    // Pages
    ktNewPage = 4, ktPageColor = 28, ktMasterPage = 31, ktShowMasterPage = 32,
    ktPageStyle = 33, ktPageWallpaper = 34, ktPgEnterAction = 54, ktPagePalette = 55,
    ktPageEffect = 59, ktEffectSpeed = 60, ktPgExitAction = 88,
    ktPageGradient1 = 112, ktPageGradient2 = 113, ktPageGradientDir = 114,
    ktWallpaperStyle = 115,
    // Objects: every class
    ktObjectType = 5, ktX = 6, ktY = 7, ktW = 8, ktH = 9,
    ktLineColor = 10, ktLineWidth = 11, ktLineStyle = 12,
    ktFillColor = 14, ktFillPattern = 15, ktFillMode = 16,
    ktGroupBegin = 29, ktGroupEnd = 30, ktName = 98,
    ktVisible = 102, ktEnabled = 103, ktTabOrder = 105, ktAnchor = 107,
    ktContainerBegin = 108, ktContainerEnd = 109,
    // Objects: by class
    ktTextColor = 17, ktFont = 19, ktWordWrap = 20, ktFileName = 22, ktText = 26,
    ktObjAction = 27, ktAlign = 40, ktKey = 44, ktFontSize = 52, ktFontStyle = 53,
    ktVarName = 56, ktInitState = 58, ktHint = 99, ktObjEnterAction = 100,
    ktObjExitAction = 101, ktScrollBar = 104, ktFontCharset = 106, ktDragMode = 111,
    ktDropAction = 116, ktDropTarget = 118, ktAutoStart = 121, ktDblClick = 123,
    ktImageStyle = 200, ktUpImage = 201, ktDownImage = 202, ktOverImage = 203,
    ktUpTransColor = 204, ktDownTransColor = 205, ktOverTransColor = 206,
    ktLibImage = 207, ktOverlayText = 208, ktBevelWidth = 209, ktObjRAction = 210,
    ktXPTheme = 211, ktDepressEffect = 212,
    ktMin = 226, ktMax = 227, ktThumbSize = 228, ktTrackSize = 229,
    ktThumbImage = 230, ktTrackImage = 231, ktThumbTransColor = 232,
    ktTrackTransColor = 233, ktChangingAction = 234,
    ktHMargin = 301, ktVMargin = 302,
    ktEditLen = 350, ktEditMask = 351, ktEditMultiLine = 352, ktEditCase = 354,
    ktEditPassword = 355, ktEditNumber = 356,
    ktPictStyle = 400, ktPictTransColor = 402, ktPictMousePan = 403,
    ktPictZoomFactor = 404, ktCentered = 406, ktOpacityEx = 407, ktResample = 408,
    ktInterval = 450, ktRunOnce = 451, ktAutoStop = 452,
    ktVarType = 500, ktSorted = 501, ktMultiSelect = 502,
    ktAllowCopy = 550, ktOverrideFont = 551,
    ktTitleVarName = 600, ktUrlVarName = 601, ktContextMenu = 602, ktSilentMode = 603,
    ktTrapPopups = 604, ktShowToolBar = 605, ktShowStatusBar = 606,
    ktNavCompAction = 607, ktEnhSecurity = 608,
    ktShowControls = 650, ktLoopPlayback = 651, ktObjDoneAction = 652,
    ktObjCancelAction = 653, ktObjPlayAction = 654,
    ktX1 = 700, ktY1 = 701, ktX2 = 702, ktY2 = 703, ktEndCaps = 704, ktPoints = 725,
    ktLoopTimes = 850, ktAutoSize = 851, ktAutoRewind = 852, ktUseBkndColor = 853,
    ktUseInternalLoop = 854,
    // Menus
    ktMenuBegin = 950, ktMenuEnd = 951, ktMenuName = 952, ktMenuText = 953,
    ktMenuAction = 954, ktMenuState = 955, ktMenuKey = 956, ktMenuVar = 957,
    ktTrayMenuBegin = 958,
    // Read and ignored (the packager turns icon, splash and preview pictures
    // into package-directory items instead)
    ktPal = 18, ktTomericVer = 62, ktIcon = 64, ktSsPreview = 95, ktSplashScreen = 97,
    ktVAlign = 300, ktEditScrollBar = 353, ktLinkPos = 552,
};

struct TKeyInfo {
    const char* key; // as written in the text, upper case; "X=" or a marker "MASTERPAGE"
    TKeyTag tag;
    TKeyType type;
    TKeyScope scope;
};

// Upper case for ASCII letters; every other byte stays as it is.
constexpr std::uint8_t FoldAsciiCase(std::uint8_t c) { return c >= 'a' && c <= 'z' ? c - 0x20 : c; }

// The same for eight bytes at once (byte i in bits 8i to 8i+7): no byte
// carries into the next, so the letters are found with three additions.
constexpr std::uint64_t FoldAsciiCase8(std::uint64_t bytes) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    const std::uint64_t low7 = bytes & (0x7F * kOnes);
    const std::uint64_t fromA = low7 + (0x80 - 'a') * kOnes;   // high bit set from 'a' on
    const std::uint64_t beyondZ = low7 + (0x80 - 'z' - 1) * kOnes; // high bit set beyond 'z'
    const std::uint64_t lower = fromA & ~beyondZ & ~bytes & (0x80 * kOnes);
    return bytes ^ (lower >> 2); // 0x80 >> 2: the case bit
}

// A line's key name (without "=") as the look-up takes it: its first
// sixteen characters folded to upper case in two numbers, byte i of each in
// bits 8i to 8i+7 and zero beyond the name, its length and whether "="
// follows it.
inline constexpr std::size_t kFoldedHeadLength = 16;
struct TFoldedKey {
    std::uint64_t head[2] = {0, 0};
    std::size_t length = 0;
    bool withEquals = false;
};
// The key for a folded name whose bytes are at `name`; nullptr for a key the
// player does not know.
const TKeyInfo* FindFoldedKey(const TFoldedKey& key, const char* name);

// The key for a line's key text ("X=", "masterpage"), compared ignoring
// case; nullptr for a key the player does not know.
const TKeyInfo* FindKey(QStringView key);
// The same for the key bytes of a line (Windows-1252), with "=" appended
// when `withEquals`; allocates nothing.
const TKeyInfo* FindKey(QByteArrayView key, bool withEquals);
// The row of a tag; nullptr for an unknown tag.
const TKeyInfo* FindKeyByTag(int tag);

// Every row, in the order of the format's tables (settings, language texts,
// pages, objects, classes, menus, ignored keys).
struct TKeyTableView {
    const TKeyInfo* rows;
    int count;
    const TKeyInfo* begin() const { return rows; }
    const TKeyInfo* end() const { return rows + count; }
};
TKeyTableView KeyTable();

} // namespace tomeric
