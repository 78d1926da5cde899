#pragma once
// Page objects as the publication text describes them: one TObjectRecord per
// OBJECTTYPE= record, in creation order.
//
// Representation: the properties every object has (table of common keys:
// position, size, name, line, fill, visibility...) are plain fields of
// TObjectRecord; the properties of the object's family live in `props`, a
// std::variant with one struct per family (TPushButtonProps,
// TEditFieldProps, TTimerProps ...). Rectangles, ellipses, rounded
// rectangles and groups have no family properties (std::monostate). Every
// field starts at the class's default, so code that builds the page objects
// reads the record directly:
//
//   if (const auto* timer = record.As<TTimerProps>()) StartEvery(timer->interval);
//
// Coordinates are relative to the parent: the page's origin at top level,
// the group or container inside one. Members of groups (type 20) and
// containers (type 21) are in `members`, nested to any depth the reader
// allows (kMaxObjectNesting).
//
// Enumerated properties are ints holding the values of the enumerations
// below (qxpsSolid, pStretch ...); the reader never stores a value outside
// an enumeration whose range it checks.

#include <QPoint>
#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

namespace tomeric {

// Object type codes (OBJECTTYPE=).
enum TObjectType : int {
    otArticle = 2, otPushBtn = 3, otPicture = 4, otRect = 5, otCircle = 6, otLine = 7,
    otText = 8, otEditField = 9, otListBox = 10, otComboBox = 11, otCheckBox = 12,
    otRadioBtn = 13, otWebBrowser = 14, otTimer = 15, otTrackBar = 16, otRoundRect = 17,
    otMediaPlayer = 18, otAnimator = 19, otGroup = 20, otContainer = 21, otFlash = 22,
    otPolygon = 23, otLinkedArticle = 24,
};
inline constexpr int kFirstObjectType = otArticle;
inline constexpr int kLastObjectType = otLinkedArticle;
inline bool IsObjectType(int code) { return code >= kFirstObjectType && code <= kLastObjectType; }
// The class a type code stands for ("TTomericPushBtn"); empty for other codes.
const char* ObjectClassName(int type);

// Colours: 0x00BBGGRR for RGB, 0xFF0000nn (negative) for system colour nn.
inline constexpr std::int32_t SystemColour(int index) { return std::int32_t(0xFF000000u | unsigned(index)); }
inline constexpr std::int32_t kNoTransparentColour = 0x20000000; // "none"
inline constexpr std::int32_t kPictureNoTransparentColour = 0x1FFFFFFF;
inline constexpr std::int32_t kColourButtonFace = SystemColour(15);
inline constexpr std::int32_t kColourWindowText = SystemColour(8);

enum TTomericPenStyle : int {
    qxpsSolid, qxpsDash, qxpsDot, qxpsDashDot, qxpsDashDotDot, qxpsRaised, qxpsSunken, qxpsClear,
};
enum TAnchor : int { anNone, anTop, anBottom, anLeft, anRight, anFill };
enum TTomericBtnStates : int { qxbsUp, qxbsDown, qxbsGrayed };
enum TTomericButtonImageStyles : int { qxbsNone, qxbsLibrary, qxbsIndividual };
enum TPaintMode : int { pNormal, pStretch, pStretchAspect, pTile, pTileHorz, pTileVert, pAuto };
enum TEditCase : int { ecNormal, ecUpperCase, ecLowerCase };
enum TTrackOrientation : int { slHoriz, slVertical };
enum TListVarType : int { vtText, vtIndex };
// ENDCAPS= bits.
inline constexpr int kEndCapStart = 1;
inline constexpr int kEndCapEnd = 512;

// ---- property groups shared by several families ---------------------------------

struct TFontProps {
    QString fontName = QStringLiteral("MS Sans Serif");
    int fontSize = 8;
    int fontStyle = 0;   // bits: 1 bold, 2 italic, 4 underline, 8 strike-out
    int fontCharset = 1; // default character set
    std::int32_t textColor = kColourWindowText;
};

struct THoverActions {
    QString enterAction; // OBJENTERACTION=
    QString exitAction;  // OBJEXITACTION=
};

struct TDragProps {
    int dragMode = 0;     // bits: 1 anywhere, 2 only onto targets, 4 to front, 8 hide while dragged
    QString dropAction;
    QString dropTargets;  // object names separated by "|"
};

// ---- one struct per family ---------------------------------------------------------

struct TPushButtonProps : TFontProps, THoverActions {
    QString text, clickAction, rClickAction, hint;
    int hotKey = 0;
    int alignment = 2; // 1 left, 2 centre, 4 right
    bool useXPTheme = false;
    int imageStyle = qxbsNone;
    QString upImage, downImage, overImage, libImage;
    std::int32_t upTransColor = kNoTransparentColour;
    std::int32_t downTransColor = kNoTransparentColour;
    std::int32_t overTransColor = kNoTransparentColour;
    bool overlayText = false;
    bool depressEffect = true;
    int bevelWidth = 2;
};

// Check boxes (12) and radio buttons (13).
struct TCheckBoxProps : TFontProps, THoverActions {
    QString text, clickAction, hint, varName;
    int hotKey = 0;
    int alignment = 1;
    bool useXPTheme = true;
    int initialState = qxbsUp;
    bool autoSize = false;
};

struct TTextProps : TFontProps, THoverActions, TDragProps {
    QString text; // RTF or plain
    int hMargin = 0, vMargin = 0;
    bool wordWrap = true;
};

struct TEditFieldProps : TFontProps, THoverActions {
    QString text, changeAction, hint, varName, editMask;
    int hotKey = 0;
    bool wordWrap = true;
    bool scrollBars = true;
    int maxLength = 0; // 0: none
    bool multiLine = false;
    int charCase = ecNormal;
    bool password = false;
    bool numbersOnly = false;
};

struct TListBoxProps : TFontProps, THoverActions {
    QString items; // one item per line
    QString changeAction, dblClickAction, hint, varName;
    int hotKey = 0;
    int varType = vtText;
    bool sorted = false;
    bool multiSelect = false;
};

struct TComboBoxProps : TFontProps, THoverActions {
    QString items, changeAction, hint, varName;
    int hotKey = 0;
    int varType = vtText;
    bool sorted = false;
    bool useXPTheme = true;
};

struct TTrackBarProps : THoverActions {
    QString changeAction, changingAction, hint, varName;
    int orientation = slHoriz;
    int minimum = 0, maximum = 100;
    int initialValue = 0;
    int thumbSize = 10; // thumb height
    int trackSize = 3;  // track width
    QString thumbImage, trackImage;
    std::int32_t thumbTransColor = kNoTransparentColour;
    std::int32_t trackTransColor = kNoTransparentColour;
};

struct TTimerProps {
    QString timerAction, varName;
    int interval = 1000; // milliseconds
    bool autoStart = true;
    bool autoStop = true;
    bool runOnce = false;
};

struct TPictureProps : THoverActions {
    QString fileName, clickAction, rClickAction, hint;
    int paintMode = pNormal;
    std::int32_t transColor = kPictureNoTransparentColour;
    int opacity = 255;
    int zoomFactor = 100; // percent, at least 10
    bool centered = false;
    bool resample = false;
    bool scrollBars = false;
    bool mousePan = false;
};

struct TPolygonProps : THoverActions, TDragProps {
    QString points; // count, then x and y of each point, comma separated
    QString fileName, clickAction, rClickAction, hint;
    bool useImageRgn = false; // PICTSTYLE=1: the shape is the image's opaque area
    std::int32_t transColor = kNoTransparentColour;
    int opacity = 255;
};

struct TLineProps {
    QPoint start, end; // relative to the parent, like X=/Y=
    int endCaps = 0;   // kEndCapStart | kEndCapEnd
    bool HasStartArrow() const { return endCaps & kEndCapStart; }
    bool HasEndArrow() const { return endCaps & kEndCapEnd; }
};

// Articles (2) and linked articles (24).
struct TArticleProps : TFontProps, THoverActions {
    QString text;     // linked article: the chain's text
    QString fileName; // the text file
    QString hint;
    bool wordWrap = true;
    bool scrollBars = true;
    bool allowCopy = false;
    bool overrideFont = false;
};

struct TWebBrowserProps : TFontProps {
    QString defaultUrl;             // FILENAME=
    QString beforeAction;           // OBJACTION=
    QString afterAction;            // NAVCOMPACTION=
    QString downloadBeginAction;    // OBJENTERACTION=
    QString downloadCompleteAction; // OBJEXITACTION=
    QString statusVarName, titleVarName, urlVarName;
    bool hideScrollBars = false;
    bool allowContextMenu = true;
    bool silentMode = false;
    bool trapPopups = false;
    bool showToolBar = false;
    bool showStatusBar = false;
    bool enhancedSecurity = true;
};

struct TMediaPlayerProps : THoverActions {
    QString fileName, varName, clickAction, playAction, doneAction, cancelAction;
    int paintMode = pStretch;
    bool showControls = true;
    bool loop = false;
};

struct TAnimatorProps : THoverActions {
    QString fileName, clickAction, doneAction, hint;
    bool autoStart = true;
    bool autoRewind = true;
    bool autoSize = true;
    int loopCount = 0; // 0: endless
};

struct TContainerProps : THoverActions {
    QString resizeAction; // OBJACTION=
    int hMargin = 0, vMargin = 0;
};

struct TFlashProps {
    QString fileName, loadedAction, doneAction, cancelAction;
    int scaleMode = 0;
    bool autoStart = true;
    bool autoRewind = true;
    bool loop = false;
    bool useInternalLoop = false;
    bool useBkndColor = false;
    bool allowContextMenu = false;
    bool allowScriptAccess = true; // ENHSECURITY=Yes turns it off
};

using TObjectProps =
    std::variant<std::monostate, TPushButtonProps, TCheckBoxProps, TTextProps, TEditFieldProps,
                 TListBoxProps, TComboBoxProps, TTrackBarProps, TTimerProps, TPictureProps,
                 TPolygonProps, TLineProps, TArticleProps, TWebBrowserProps, TMediaPlayerProps,
                 TAnimatorProps, TContainerProps, TFlashProps>;

// ---- the record ---------------------------------------------------------------------

struct TObjectRecord {
    int objType = 0; // TObjectType
    QString name;
    int x = 0, y = 0, width = 0, height = 0; // relative to the parent
    bool visible = true;
    bool enabled = true;
    int tabOrder = -1; // -1: creation order
    int anchor = anNone;
    std::int32_t lineColor = 0;
    int lineWidth = 1;
    int lineStyle = qxpsSolid;
    std::int32_t fillColor = kColourButtonFace;
    int fillPattern = 0; // 0 solid, 1 none, 2..48 hatch
    bool transparent = false; // FILLMODE=: hatch drawn without its background
    TObjectProps props;
    std::vector<TObjectRecord> members; // groups and containers

    const char* ClassName() const { return ObjectClassName(objType); }
    template <class P> P* As() { return std::get_if<P>(&props); }
    template <class P> const P* As() const { return std::get_if<P>(&props); }
};

// A record of the given type with its family's defaults; a record with
// monostate properties for codes that have none.
TObjectRecord MakeObjectRecord(int type);
// The same, built at the end of `list`, where the reader keeps it.
TObjectRecord& AppendObjectRecord(std::vector<TObjectRecord>& list, int type);

} // namespace tomeric
