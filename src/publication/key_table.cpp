#include "publication/key_table.h"

#include <QHash>
#include <QString>

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

namespace tomeric {
namespace {

using enum TKeyType;
using enum TKeyScope;

// clang-format off
constexpr TKeyInfo kKeys[] = {
    // ---- publication settings ----------------------------------------------
    {"TITLE=",            ktTitle,            ktyText,     ksSetting},
    {"AUTHOR=",           ktAuthor,           ktyText,     ksSetting},
    {"SCREENWIDTH=",      ktScreenWidth,      ktyInteger,  ksSetting},
    {"SCREENHEIGHT=",     ktScreenHeight,     ktyInteger,  ksSetting},
    {"SCREENCOLORS=",     ktScreenColors,     ktyInteger,  ksSetting},
    {"APPCURSOR=",        ktAppCursor,        ktyText,     ksSetting},
    {"HOTSPOTCURSOR=",    ktHotSpotCursor,    ktyText,     ksSetting},
    {"DRAGCURSOR=",       ktDragCursor,       ktyText,     ksSetting},
    {"BUSYCURSOR=",       ktBusyCursor,       ktyText,     ksSetting},
    {"EXITPASSWORD=",     ktExitPassword,     ktyText,     ksSetting},
    {"STARTPASSWORD=",    ktStartPassword,    ktyText,     ksSetting},
    {"ALLOWESC=",         ktAllowEsc,         ktyYesNo,    ksSetting},
    {"ALLOWPAGEUPDN=",    ktAllowPageUpDn,    ktyYesNo,    ksSetting},
    {"WINDOWSTYLE=",      ktWindowStyle,      ktyInteger,  ksSetting},
    {"WINDOWORDER=",      ktWindowOrder,      ktyInteger,  ksSetting},
    {"WINDOWPROPS=",      ktWindowProps,      ktyInteger,  ksSetting},
    {"WINDOWPOS=",        ktWindowPos,        ktyInteger,  ksSetting},
    {"WINDOWREGKEY=",     ktWindowRegKey,     ktyText,     ksSetting},
    {"MINPUBWIDTH=",      ktMinPubWidth,      ktyInteger,  ksSetting},
    {"MINPUBHEIGHT=",     ktMinPubHeight,     ktyInteger,  ksSetting},
    {"SCREENAUTOSIZE=",   ktScreenAutoSize,   ktyYesNo,    ksSetting},
    {"BKNDCOLOR=",        ktBkndColor,        ktyInteger,  ksSetting},
    {"SHAPEFILE=",        ktShapeFile,        ktyText,     ksSetting},
    {"SHAPETRANSCOLOR=",  ktShapeTransColor,  ktyInteger,  ksSetting},
    {"AUTORETURN=",       ktAutoReturn,       ktyYesNo,    ksSetting},
    {"RETURNTIME=",       ktReturnTime,       ktyInteger,  ksSetting},
    {"RETURNACTION=",     ktReturnAction,     ktyTextPara, ksSetting},
    {"MOUSEEXIT=",        ktMouseExit,        ktyYesNo,    ksSetting},
    {"SHOWERRORS=",       ktShowErrors,       ktyYesNo,    ksSetting},
    {"SHOWMARQUEE=",      ktShowMarquee,      ktyYesNo,    ksSetting},
    {"BYPASSPRINTDLG=",   ktBypassPrintDlg,   ktyYesNo,    ksSetting},
    {"STARTUPACTION=",    ktStartupAction,    ktyTextPara, ksSetting},
    {"SHUTDOWNACTION=",   ktShutdownAction,   ktyTextPara, ksSetting},
    {"ACTIVATEACTION=",   ktActivateAction,   ktyTextPara, ksSetting},
    {"DEACTIVATEACTION=", ktDeactivateAction, ktyTextPara, ksSetting},
    {"PAGECHANGEACTION=", ktPageChangeAction, ktyTextPara, ksSetting},
    {"SUBROUTINEACTION=", ktSubroutineAction, ktyTextPara, ksSetting},
    {"USEUPDATETIMER=",   ktUseUpdateTimer,   ktyYesNo,    ksSetting},
    {"HELPFILE=",         ktHelpFile,         ktyText,     ksSetting},
    {"NOCTRLALTDEL=",     ktNoCtrlAltDel,     ktyYesNo,    ksSetting},
    {"NOPRINTSCRN=",      ktNoPrintScrn,      ktyYesNo,    ksSetting},
    {"ALERTBOXIMAGE=",    ktAlertBoxImage,    ktyText,     ksSetting},
    {"MSGBOXIMAGE=",      ktMsgBoxImage,      ktyText,     ksSetting},
    {"EXITBOXIMAGE=",     ktExitBoxImage,     ktyText,     ksSetting},
    {"CUSTOMFONTNAME=",   ktCustomFontName,   ktyText,     ksSetting},
    {"CUSTOMFONTSIZE=",   ktCustomFontSize,   ktyInteger,  ksSetting},
    {"CUSTOMFONTSTYLE=",  ktCustomFontStyle,  ktyInteger,  ksSetting},
    {"CUSTOMCHARSET=",    ktCustomCharset,    ktyInteger,  ksSetting},
    {"LINKCOLOR=",        ktLinkColor,        ktyInteger,  ksSetting},
    {"CACHESIZE=",        ktCacheSize,        ktyInteger,  ksSetting},
    {"BIDIMODE=",         ktBiDiMode,         ktyInteger,  ksSetting},
    {"EXTRACTOP=",        ktExtractOp,        ktyInteger,  ksSetting},
    {"EXTRACTDIR=",       ktExtractDir,       ktyText,     ksSetting},
    {"PUBVERSION=",       ktPubVersion,       ktyText,     ksSetting},
    {"EMBEDDEDFILES=",    ktEmbeddedFiles,    ktyText,     ksSetting},
    // ---- language texts (tag - 800 indexes the array) -----------------------
    {"L_OK=",               TKeyTag(800), ktyText, ksLanguage},
    {"L_CANCEL=",           TKeyTag(801), ktyText, ksLanguage},
    {"L_YES=",              TKeyTag(802), ktyText, ksLanguage},
    {"L_NO=",               TKeyTag(803), ktyText, ksLanguage},
    {"L_CLOSE=",            TKeyTag(804), ktyText, ksLanguage},
    {"L_ERRORTITLE=",       TKeyTag(805), ktyText, ksLanguage},
    {"L_FINDTITLE=",        TKeyTag(806), ktyText, ksLanguage},
    {"L_FINDPROMPT=",       TKeyTag(807), ktyText, ksLanguage},
    {"L_FINDFIRST=",        TKeyTag(808), ktyText, ksLanguage},
    {"L_FINDNEXT=",         TKeyTag(809), ktyText, ksLanguage},
    {"L_FINDERROR=",        TKeyTag(810), ktyText, ksLanguage},
    {"L_PWORDTITLE=",       TKeyTag(811), ktyText, ksLanguage},
    {"L_PWORDMSG=",         TKeyTag(812), ktyText, ksLanguage},
    {"L_PWORDPROMPT=",      TKeyTag(813), ktyText, ksLanguage},
    {"L_PWORDERROR=",       TKeyTag(814), ktyText, ksLanguage},
    {"L_MEDIAERROR=",       TKeyTag(815), ktyText, ksLanguage},
    {"L_INTERNETERROR=",    TKeyTag(816), ktyText, ksLanguage},
    {"L_ABORTFUNCTION=",    TKeyTag(817), ktyText, ksLanguage},
    {"L_EXTRACTERROR=",     TKeyTag(818), ktyText, ksLanguage},
    {"L_INSTDIRPROMPT=",    TKeyTag(819), ktyText, ksLanguage},
    {"L_INSTFOLDERPROMPT=", TKeyTag(820), ktyText, ksLanguage},
    {"L_INSTRUNPROMPT=",    TKeyTag(821), ktyText, ksLanguage},
    {"L_INSTDISKPROMPT=",   TKeyTag(822), ktyText, ksLanguage},
    {"L_INSTDISKERROR=",    TKeyTag(823), ktyText, ksLanguage},
    {"L_INSTGENERROR=",     TKeyTag(824), ktyText, ksLanguage},
    {"L_INSTEXITPROMPT=",   TKeyTag(825), ktyText, ksLanguage},
    {"L_INSTWINTITLE=",     TKeyTag(826), ktyText, ksLanguage},
    {"L_INSTPROGTITLE=",    TKeyTag(827), ktyText, ksLanguage},
    {"L_INSTSUBTITLE=",     TKeyTag(828), ktyText, ksLanguage},
    {"L_SENDEMAIL=",        TKeyTag(829), ktyText, ksLanguage},
    {"L_MAILSERVER=",       TKeyTag(830), ktyText, ksLanguage},
    {"L_COPY=",             TKeyTag(831), ktyText, ksLanguage},
    {"L_SELECTALL=",        TKeyTag(832), ktyText, ksLanguage},
    {"L_DONWLOADFILE=",     TKeyTag(833), ktyText, ksLanguage},
    {"L_PLEASEWAIT=",       TKeyTag(834), ktyText, ksLanguage},
    // ---- pages ----------------------------------------------------------------
    {"MASTERPAGE",        ktMasterPage,       ktyMarker,   ksPage},
    {"NEWPAGE=",          ktNewPage,          ktyText,     ksPage},
    {"SHOWMASTERPAGE=",   ktShowMasterPage,   ktyYesNo,    ksPage},
    {"PAGESTYLE=",        ktPageStyle,        ktyInteger,  ksPage},
    {"PAGECOLOR=",        ktPageColor,        ktyInteger,  ksPage},
    {"PAGEWALLPAPER=",    ktPageWallpaper,    ktyText,     ksPage},
    {"WALLPAPERSTYLE=",   ktWallpaperStyle,   ktyInteger,  ksPage},
    {"PAGEGRADIENT1=",    ktPageGradient1,    ktyInteger,  ksPage},
    {"PAGEGRADIENT2=",    ktPageGradient2,    ktyInteger,  ksPage},
    {"PAGEGRADIENTDIR=",  ktPageGradientDir,  ktyInteger,  ksPage},
    {"PAGEPALETTE=",      ktPagePalette,      ktyText,     ksPage},
    {"PGENTERACTION=",    ktPgEnterAction,    ktyTextPara, ksPage},
    {"PGEXITACTION=",     ktPgExitAction,     ktyTextPara, ksPage},
    {"PAGEEFFECT=",       ktPageEffect,       ktyText,     ksPage},
    {"EFFECTSPEED=",      ktEffectSpeed,      ktyText,     ksPage},
    // ---- objects ----------------------------------------------------------------
    {"OBJECTTYPE=",       ktObjectType,       ktyInteger,  ksObjectType},
    {"X=",                ktX,                ktyInteger,  ksObject},
    {"Y=",                ktY,                ktyInteger,  ksObject},
    {"W=",                ktW,                ktyInteger,  ksObject},
    {"H=",                ktH,                ktyInteger,  ksObject},
    {"NAME=",             ktName,             ktyText,     ksObject},
    {"VISIBLE=",          ktVisible,          ktyYesNo,    ksObject},
    {"ENABLED=",          ktEnabled,          ktyYesNo,    ksObject},
    {"TABORDER=",         ktTabOrder,         ktyInteger,  ksObject},
    {"ANCHOR=",           ktAnchor,           ktyInteger,  ksObject},
    {"LINECOLOR=",        ktLineColor,        ktyInteger,  ksObject},
    {"LINEWIDTH=",        ktLineWidth,        ktyInteger,  ksObject},
    {"LINESTYLE=",        ktLineStyle,        ktyInteger,  ksObject},
    {"FILLCOLOR=",        ktFillColor,        ktyInteger,  ksObject},
    {"FILLPATTERN=",      ktFillPattern,      ktyInteger,  ksObject},
    {"FILLMODE=",         ktFillMode,         ktyYesNo,    ksObject},
    {"GROUPBEGIN",        ktGroupBegin,       ktyMarker,   ksObject},
    {"GROUPEND",          ktGroupEnd,         ktyMarker,   ksObject},
    {"CONTAINERBEGIN",    ktContainerBegin,   ktyMarker,   ksObject},
    {"CONTAINEREND",      ktContainerEnd,     ktyMarker,   ksObject},
    // ---- objects by class ---------------------------------------------------------
    {"TEXTCOLOR=",        ktTextColor,        ktyInteger,  ksClass},
    {"FONT=",             ktFont,             ktyText,     ksClass},
    {"FONTSIZE=",         ktFontSize,         ktyInteger,  ksClass},
    {"FONTSTYLE=",        ktFontStyle,        ktyInteger,  ksClass},
    {"FONTCHARSET=",      ktFontCharset,      ktyInteger,  ksClass},
    {"TEXT=",             ktText,             ktyTextPara, ksClass},
    {"OBJACTION=",        ktObjAction,        ktyTextPara, ksClass},
    {"OBJENTERACTION=",   ktObjEnterAction,   ktyTextPara, ksClass},
    {"OBJEXITACTION=",    ktObjExitAction,    ktyTextPara, ksClass},
    {"OBJRACTION=",       ktObjRAction,       ktyTextPara, ksClass},
    {"DBLCLICK=",         ktDblClick,         ktyTextPara, ksClass},
    {"HINT=",             ktHint,             ktyTextPara, ksClass},
    {"KEY=",              ktKey,              ktyInteger,  ksClass},
    {"ALIGN=",            ktAlign,            ktyInteger,  ksClass},
    {"VARNAME=",          ktVarName,          ktyText,     ksClass},
    {"INITSTATE=",        ktInitState,        ktyInteger,  ksClass},
    {"WORDWRAP=",         ktWordWrap,         ktyYesNo,    ksClass},
    {"SCROLLBAR=",        ktScrollBar,        ktyYesNo,    ksClass},
    {"FILENAME=",         ktFileName,         ktyText,     ksClass},
    {"AUTOSTART=",        ktAutoStart,        ktyYesNo,    ksClass},
    {"DRAGMODE=",         ktDragMode,         ktyInteger,  ksClass},
    {"DROPACTION=",       ktDropAction,       ktyTextPara, ksClass},
    {"DROPTARGET=",       ktDropTarget,       ktyText,     ksClass},
    {"IMAGESTYLE=",       ktImageStyle,       ktyInteger,  ksClass},
    {"UPIMAGE=",          ktUpImage,          ktyText,     ksClass},
    {"DOWNIMAGE=",        ktDownImage,        ktyText,     ksClass},
    {"OVERIMAGE=",        ktOverImage,        ktyText,     ksClass},
    {"UPTRANSCOLOR=",     ktUpTransColor,     ktyInteger,  ksClass},
    {"DOWNTRANSCOLOR=",   ktDownTransColor,   ktyInteger,  ksClass},
    {"OVERTRANSCOLOR=",   ktOverTransColor,   ktyInteger,  ksClass},
    {"LIBIMAGE=",         ktLibImage,         ktyText,     ksClass},
    {"OVERLAYTEXT=",      ktOverlayText,      ktyYesNo,    ksClass},
    {"BEVELWIDTH=",       ktBevelWidth,       ktyInteger,  ksClass},
    {"XPTHEME=",          ktXPTheme,          ktyYesNo,    ksClass},
    {"DEPRESSEFFECT=",    ktDepressEffect,    ktyYesNo,    ksClass},
    {"MIN=",              ktMin,              ktyInteger,  ksClass},
    {"MAX=",              ktMax,              ktyInteger,  ksClass},
    {"THUMBSIZE=",        ktThumbSize,        ktyInteger,  ksClass},
    {"TRACKSIZE=",        ktTrackSize,        ktyInteger,  ksClass},
    {"THUMBIMAGE=",       ktThumbImage,       ktyText,     ksClass},
    {"TRACKIMAGE=",       ktTrackImage,       ktyText,     ksClass},
    {"THUMBTRANSCOLOR=",  ktThumbTransColor,  ktyInteger,  ksClass},
    {"TRACKTRANSCOLOR=",  ktTrackTransColor,  ktyInteger,  ksClass},
    {"CHANGINGACTION=",   ktChangingAction,   ktyInteger,  ksClass}, // the text is used
    {"HMARGIN=",          ktHMargin,          ktyInteger,  ksClass},
    {"VMARGIN=",          ktVMargin,          ktyInteger,  ksClass},
    {"EDITLEN=",          ktEditLen,          ktyInteger,  ksClass},
    {"EDITMASK=",         ktEditMask,         ktyText,     ksClass},
    {"EDITMULTILINE=",    ktEditMultiLine,    ktyYesNo,    ksClass},
    {"EDITCASE=",         ktEditCase,         ktyInteger,  ksClass},
    {"EDITPASSWORD=",     ktEditPassword,     ktyYesNo,    ksClass},
    {"EDITNUMBER=",       ktEditNumber,       ktyYesNo,    ksClass},
    {"PICTSTYLE=",        ktPictStyle,        ktyInteger,  ksClass},
    {"PICTTRANSCOLOR=",   ktPictTransColor,   ktyInteger,  ksClass},
    {"PICTMOUSEPAN=",     ktPictMousePan,     ktyYesNo,    ksClass},
    {"PICTZOOMFACTOR=",   ktPictZoomFactor,   ktyInteger,  ksClass},
    {"CENTERED=",         ktCentered,         ktyYesNo,    ksClass},
    {"OPACITYEX=",        ktOpacityEx,        ktyInteger,  ksClass},
    {"RESAMPLE=",         ktResample,         ktyYesNo,    ksClass},
    {"INTERVAL=",         ktInterval,         ktyInteger,  ksClass},
    {"RUNONCE=",          ktRunOnce,          ktyYesNo,    ksClass},
    {"AUTOSTOP=",         ktAutoStop,         ktyYesNo,    ksClass},
    {"VARTYPE=",          ktVarType,          ktyInteger,  ksClass},
    {"SORTED=",           ktSorted,           ktyYesNo,    ksClass},
    {"MULTISELECT=",      ktMultiSelect,      ktyYesNo,    ksClass},
    {"ALLOWCOPY=",        ktAllowCopy,        ktyYesNo,    ksClass},
    {"OVERRIDEFONT=",     ktOverrideFont,     ktyYesNo,    ksClass},
    {"TITLEVARNAME=",     ktTitleVarName,     ktyText,     ksClass},
    {"URLVARNAME=",       ktUrlVarName,       ktyText,     ksClass},
    {"CONTEXTMENU=",      ktContextMenu,      ktyYesNo,    ksClass},
    {"SILENTMODE=",       ktSilentMode,       ktyYesNo,    ksClass},
    {"TRAPPOPUPS=",       ktTrapPopups,       ktyYesNo,    ksClass},
    {"SHOWTOOLBAR=",      ktShowToolBar,      ktyYesNo,    ksClass},
    {"SHOWSTATUSBAR=",    ktShowStatusBar,    ktyYesNo,    ksClass},
    {"NAVCOMPACTION=",    ktNavCompAction,    ktyTextPara, ksClass},
    {"ENHSECURITY=",      ktEnhSecurity,      ktyYesNo,    ksClass},
    {"SHOWCONTROLS=",     ktShowControls,     ktyYesNo,    ksClass},
    {"LOOPPLAYBACK=",     ktLoopPlayback,     ktyYesNo,    ksClass},
    {"OBJDONEACTION=",    ktObjDoneAction,    ktyTextPara, ksClass},
    {"OBJCANCELACTION=",  ktObjCancelAction,  ktyTextPara, ksClass},
    {"OBJPLAYACTION=",    ktObjPlayAction,    ktyTextPara, ksClass},
    {"X1=",               ktX1,               ktyInteger,  ksClass},
    {"Y1=",               ktY1,               ktyInteger,  ksClass},
    {"X2=",               ktX2,               ktyInteger,  ksClass},
    {"Y2=",               ktY2,               ktyInteger,  ksClass},
    {"ENDCAPS=",          ktEndCaps,          ktyInteger,  ksClass},
    {"POINTS=",           ktPoints,           ktyText,     ksClass},
    {"LOOPTIMES=",        ktLoopTimes,        ktyInteger,  ksClass},
    {"AUTOSIZE=",         ktAutoSize,         ktyYesNo,    ksClass},
    {"AUTOREWIND=",       ktAutoRewind,       ktyYesNo,    ksClass},
    {"USEBKNDCOLOR=",     ktUseBkndColor,     ktyYesNo,    ksClass},
    {"USEINTERNALLOOP=",  ktUseInternalLoop,  ktyYesNo,    ksClass},
    // ---- menus --------------------------------------------------------------------
    {"MENUBEGIN",         ktMenuBegin,        ktyMarker,   ksMenu},
    {"MENUEND",           ktMenuEnd,          ktyMarker,   ksMenu},
    {"TRAYMENUBEGIN",     ktTrayMenuBegin,    ktyMarker,   ksMenu},
    {"MENUNAME=",         ktMenuName,         ktyText,     ksMenu},
    {"MENUTEXT=",         ktMenuText,         ktyText,     ksMenu},
    {"MENUACTION=",       ktMenuAction,       ktyTextPara, ksMenu},
    {"MENUSTATE=",        ktMenuState,        ktyInteger,  ksMenu},
    {"MENUKEY=",          ktMenuKey,          ktyInteger,  ksMenu},
    {"MENUVAR=",          ktMenuVar,          ktyText,     ksMenu},
    // ---- read and ignored -----------------------------------------------------------
    {"ICON=",             ktIcon,             ktyText,     ksIgnored},
    {"TOMERICVER=",       ktTomericVer,       ktyText,     ksIgnored},
    {"PAL=",              ktPal,              ktyText,     ksIgnored},
    {"SSPREVIEW=",        ktSsPreview,        ktyText,     ksIgnored},
    {"SPLASHSCREEN=",     ktSplashScreen,     ktyText,     ksIgnored},
    {"VALIGN=",           ktVAlign,           ktyInteger,  ksIgnored},
    {"EDITSCROLLBAR=",    ktEditScrollBar,    ktyYesNo,    ksIgnored},
    {"LINKPOS=",          ktLinkPos,          ktyInteger,  ksIgnored},
};
// clang-format on

// Keys are found by open addressing in a table built at compile time. The
// hash reads a key's length, whether "=" follows it, and its first eight
// characters folded to upper case; a line's key then costs a few
// multiplications and the comparison of two numbers, and of the rest for
// keys beyond sixteen characters. The slots hold only a byte each (the row
// plus one); the folded names sit in a dense array by row. Both stay in the
// first-level cache while the inflater's window passes through it between
// chunks.
constexpr int kSlotBits = 10;
constexpr std::uint32_t kSlotCount = 1u << kSlotBits; // over four times the keys
constexpr std::uint32_t kSlotMask = kSlotCount - 1;
constexpr std::uint8_t kEmptySlot = 0;
constexpr int kMaxProbes = 4;
static_assert(std::size(kKeys) < 255, "a slot holds a row in one byte");

constexpr std::uint32_t KeyHash(const TFoldedKey& key) {
    std::uint64_t hash = key.head[0] * 0x9E3779B97F4A7C15ull + key.length * 2 + (key.withEquals ? 1 : 0);
    hash ^= hash >> 29;
    hash *= 0xBF58476D1CE4E5B9ull;
    return std::uint32_t(hash >> (64 - kSlotBits));
}

constexpr std::size_t KeyLength(const char* key) {
    std::size_t length = 0;
    while (key[length] != '\0') ++length;
    return length;
}

constexpr TFoldedKey FoldKeyName(const char* name, std::size_t length, bool withEquals) {
    TFoldedKey folded;
    folded.length = length;
    folded.withEquals = withEquals;
    for (std::size_t i = 0; i < length && i < kFoldedHeadLength; ++i)
        folded.head[i / 8] |= std::uint64_t(FoldAsciiCase(std::uint8_t(name[i]))) << (8 * (i % 8));
    return folded;
}

// A key's name as the look-up compares it.
struct TFoldedName {
    std::uint64_t head[2] = {0, 0}; // the first sixteen characters, as TFoldedKey has them
    std::uint16_t lengthAndEquals = 0; // the name's length (without "=") times two, plus one with "="

    static constexpr std::uint16_t LengthAndEquals(std::size_t length, bool withEquals) {
        return std::uint16_t(length * 2 + (withEquals ? 1 : 0));
    }
};

struct TKeySlots {
    std::array<std::uint8_t, kSlotCount> rowPlusOne{};
    std::array<TFoldedName, std::size(kKeys)> names{};
    int longestProbe = 0;
};

constexpr TKeySlots BuildKeySlots() {
    TKeySlots table;
    for (std::size_t i = 0; i < std::size(kKeys); ++i) {
        const char* key = kKeys[i].key;
        const std::size_t length = KeyLength(key);
        const bool withEquals = key[length - 1] == '=';
        const std::size_t nameLength = withEquals ? length - 1 : length;
        const TFoldedKey folded = FoldKeyName(key, nameLength, withEquals);
        table.names[i] = {{folded.head[0], folded.head[1]},
                          TFoldedName::LengthAndEquals(nameLength, withEquals)};
        std::uint32_t slot = KeyHash(folded);
        int probes = 1;
        for (; table.rowPlusOne[slot] != kEmptySlot; ++probes) slot = (slot + 1) & kSlotMask;
        table.rowPlusOne[slot] = std::uint8_t(i + 1);
        table.longestProbe = std::max(table.longestProbe, probes);
    }
    return table;
}

constexpr TKeySlots kKeySlots = BuildKeySlots();
static_assert(std::size(kKeys) * 4 < kSlotCount);
static_assert(kKeySlots.longestProbe <= kMaxProbes, "the key hash no longer tells the keys apart");

const QHash<int, const TKeyInfo*>& TagIndex() {
    static const QHash<int, const TKeyInfo*> byTag = [] {
        QHash<int, const TKeyInfo*> built;
        for (const TKeyInfo& info : kKeys) built.insert(info.tag, &info);
        return built;
    }();
    return byTag;
}

// The characters of `name` beyond the folded head against the key's, which
// are upper case.
bool SameTailIgnoringCase(const char* name, const char* key, std::size_t length) {
    for (std::size_t i = kFoldedHeadLength; i < length; ++i) {
        if (FoldAsciiCase(std::uint8_t(name[i])) != std::uint8_t(key[i])) return false;
    }
    return true;
}

// Whether the key of a row is the folded name whose bytes are at `name`.
inline bool RowHasName(std::size_t row, const TFoldedKey& key, const char* name) {
    const TFoldedName& candidate = kKeySlots.names[row];
    return candidate.head[0] == key.head[0] && candidate.head[1] == key.head[1] &&
           candidate.lengthAndEquals == TFoldedName::LengthAndEquals(key.length, key.withEquals) &&
           (key.length <= kFoldedHeadLength || SameTailIgnoringCase(name, kKeys[row].key, key.length));
}

} // namespace

// Keys are ASCII: upper-casing ASCII letters is the case-insensitive match,
// and any other byte makes the text no key. Runs once per line, so it
// allocates nothing.
const TKeyInfo* FindFoldedKey(const TFoldedKey& key, const char* name) {
    for (std::uint32_t slot = KeyHash(key); kKeySlots.rowPlusOne[slot] != kEmptySlot;
         slot = (slot + 1) & kSlotMask) {
        const std::size_t row = kKeySlots.rowPlusOne[slot] - 1u;
        if (RowHasName(row, key, name)) return &kKeys[row];
    }
    return nullptr;
}

const TKeyInfo* FindKey(QByteArrayView key, bool withEquals) {
    if (!withEquals && key.endsWith('=')) { // the key as written, "X="
        key.chop(1);
        withEquals = true;
    }
    return FindFoldedKey(FoldKeyName(key.data(), std::size_t(key.size()), withEquals), key.data());
}

const TKeyInfo* FindKey(QStringView key) {
    for (QChar c : key) {
        if (c.unicode() > 0x7F) return nullptr;
    }
    return FindKey(QByteArrayView(key.toLatin1()), false);
}

const TKeyInfo* FindKeyByTag(int tag) { return TagIndex().value(tag, nullptr); }

TKeyTableView KeyTable() { return {kKeys, int(std::size(kKeys))}; }

} // namespace tomeric
