#include "publication/object_properties.h"

#include "publication/record_binding.h"

#include <cstdlib>
#include <iterator>

namespace tomeric {
namespace {

// ---- rows shared by several families ------------------------------------------------

template <class P>
std::vector<TBinding<P>> FontRows() {
    using B = TBind<P>;
    return {B::Int(ktTextColor, &P::textColor), B::Text(ktFont, &P::fontName),
            B::Int(ktFontSize, &P::fontSize), B::FontStyle(ktFontStyle, &P::fontStyle),
            B::Int(ktFontCharset, &P::fontCharset)};
}

template <class P>
std::vector<TBinding<P>> HoverRows() {
    using B = TBind<P>;
    return {B::Text(ktObjEnterAction, &P::enterAction),
            B::Text(ktObjExitAction, &P::exitAction)};
}

template <class P>
std::vector<TBinding<P>> DragRows() {
    using B = TBind<P>;
    return {B::Byte(ktDragMode, &P::dragMode), B::Text(ktDropAction, &P::dropAction),
            B::Text(ktDropTarget, &P::dropTargets)};
}

// ---- special rules -------------------------------------------------------------------

// A minimum above the maximum pushes the maximum up; a maximum below the
// minimum pulls the minimum down.
void SetTrackMinimum(TTrackBarProps& p, const TRecord& r, TBindingContext&) {
    if (!r.integer) return;
    p.minimum = *r.integer;
    if (p.minimum > p.maximum) p.maximum = p.minimum + 1;
}
void SetTrackMaximum(TTrackBarProps& p, const TRecord& r, TBindingContext&) {
    if (!r.integer) return;
    p.maximum = *r.integer;
    if (p.maximum < p.minimum) p.minimum = p.maximum - 1;
}

// CHANGINGACTION= is an integer key whose text is the action; its "¶" are
// line breaks like every other action's.
void SetChangingAction(TTrackBarProps& p, const TRecord& r, TBindingContext&) {
    p.changingAction = DecodeWithLineBreaks(r.rawValue);
}

void SetEditPassword(TEditFieldProps& p, const TRecord& r, TBindingContext&) {
    p.password = r.yesNo;
    if (r.yesNo) p.editMask.clear();
}
void SetEditNumber(TEditFieldProps& p, const TRecord& r, TBindingContext&) {
    p.numbersOnly = r.yesNo;
    if (r.yesNo) {
        p.editMask.clear();
        p.password = false;
    }
}

void SetZoomFactor(TPictureProps& p, const TRecord& r, TBindingContext&) {
    if (r.integer) p.zoomFactor = std::max(std::abs(*r.integer), 10);
}

void SetPolygonShapeMode(TPolygonProps& p, const TRecord& r, TBindingContext&) {
    if (r.integer) p.useImageRgn = (*r.integer & 0xFF) == 1;
}

void SetLineX1(TLineProps& p, const TRecord& r, TBindingContext&) {
    if (r.integer) p.start.setX(*r.integer);
}
void SetLineY1(TLineProps& p, const TRecord& r, TBindingContext&) {
    if (r.integer) p.start.setY(*r.integer);
}
void SetLineX2(TLineProps& p, const TRecord& r, TBindingContext&) {
    if (r.integer) p.end.setX(*r.integer);
}
// The line is placed when its last coordinate arrives.
void SetLineY2(TLineProps& p, const TRecord& r, TBindingContext& context) {
    if (!r.integer) return;
    p.end.setY(*r.integer);
    TObjectRecord& line = *context.object;
    const int grow = std::max(line.lineWidth, 0);
    line.x = std::min(p.start.x(), p.end.x()) - grow;
    line.y = std::min(p.start.y(), p.end.y()) - grow;
    line.width = std::abs(p.end.x() - p.start.x()) + 2 * grow;
    line.height = std::abs(p.end.y() - p.start.y()) + 2 * grow;
}

// ---- one table per class -----------------------------------------------------------------

using BC = TBind<TObjectRecord>;
const TBindingTable<TObjectRecord> kCommonRows = {
    BC::Int(ktX, &TObjectRecord::x),
    BC::Int(ktY, &TObjectRecord::y),
    BC::Int(ktW, &TObjectRecord::width),
    BC::Int(ktH, &TObjectRecord::height),
    BC::Text(ktName, &TObjectRecord::name),
    BC::YesNo(ktVisible, &TObjectRecord::visible),
    BC::YesNo(ktEnabled, &TObjectRecord::enabled),
    BC::Word(ktTabOrder, &TObjectRecord::tabOrder),
    BC::Int(ktAnchor, &TObjectRecord::anchor),
    BC::Int(ktLineColor, &TObjectRecord::lineColor),
    BC::Int(ktLineWidth, &TObjectRecord::lineWidth),
    BC::ByteIn(ktLineStyle, &TObjectRecord::lineStyle, qxpsSolid, qxpsClear),
    BC::Int(ktFillColor, &TObjectRecord::fillColor),
    BC::Byte(ktFillPattern, &TObjectRecord::fillPattern),
    BC::YesNo(ktFillMode, &TObjectRecord::transparent),
};

using PB = TPushButtonProps;
const auto kPushButtonRows = JoinBindings<PB>({FontRows<PB>(), HoverRows<PB>(), {
    TBind<PB>::Text(ktText, &PB::text),
    TBind<PB>::Text(ktObjAction, &PB::clickAction),
    TBind<PB>::Text(ktObjRAction, &PB::rClickAction),
    TBind<PB>::Text(ktHint, &PB::hint),
    TBind<PB>::Word(ktKey, &PB::hotKey),
    TBind<PB>::Byte(ktAlign, &PB::alignment),
    TBind<PB>::ByteIn(ktImageStyle, &PB::imageStyle, qxbsNone, qxbsIndividual),
    TBind<PB>::Text(ktUpImage, &PB::upImage),
    TBind<PB>::Text(ktDownImage, &PB::downImage),
    TBind<PB>::Text(ktOverImage, &PB::overImage),
    TBind<PB>::Int(ktUpTransColor, &PB::upTransColor),
    TBind<PB>::Int(ktDownTransColor, &PB::downTransColor),
    TBind<PB>::Int(ktOverTransColor, &PB::overTransColor),
    TBind<PB>::Text(ktLibImage, &PB::libImage),
    TBind<PB>::YesNo(ktOverlayText, &PB::overlayText),
    TBind<PB>::Byte(ktBevelWidth, &PB::bevelWidth),
    TBind<PB>::YesNo(ktXPTheme, &PB::useXPTheme),
    TBind<PB>::YesNo(ktDepressEffect, &PB::depressEffect),
}});

using CB = TCheckBoxProps;
const auto kCheckBoxRows = JoinBindings<CB>({FontRows<CB>(), HoverRows<CB>(), {
    TBind<CB>::Text(ktText, &CB::text),
    TBind<CB>::Text(ktObjAction, &CB::clickAction),
    TBind<CB>::Text(ktHint, &CB::hint),
    TBind<CB>::Word(ktKey, &CB::hotKey),
    TBind<CB>::Byte(ktAlign, &CB::alignment),
    TBind<CB>::VarName(ktVarName, &CB::varName),
    TBind<CB>::Byte(ktInitState, &CB::initialState),
    TBind<CB>::YesNo(ktXPTheme, &CB::useXPTheme),
    TBind<CB>::YesNo(ktAutoSize, &CB::autoSize),
}});

using TX = TTextProps;
const auto kTextRows = JoinBindings<TX>({FontRows<TX>(), HoverRows<TX>(), DragRows<TX>(), {
    TBind<TX>::Text(ktText, &TX::text),
    TBind<TX>::Int(ktHMargin, &TX::hMargin),
    TBind<TX>::Int(ktVMargin, &TX::vMargin),
    TBind<TX>::YesNo(ktWordWrap, &TX::wordWrap),
}});

using ED = TEditFieldProps;
const auto kEditFieldRows = JoinBindings<ED>({FontRows<ED>(), HoverRows<ED>(), {
    TBind<ED>::Text(ktText, &ED::text),
    TBind<ED>::Text(ktObjAction, &ED::changeAction),
    TBind<ED>::Text(ktHint, &ED::hint),
    TBind<ED>::Word(ktKey, &ED::hotKey),
    TBind<ED>::VarName(ktVarName, &ED::varName),
    TBind<ED>::YesNo(ktWordWrap, &ED::wordWrap),
    TBind<ED>::YesNo(ktScrollBar, &ED::scrollBars),
    TBind<ED>::Int(ktEditLen, &ED::maxLength),
    TBind<ED>::Text(ktEditMask, &ED::editMask),
    TBind<ED>::YesNo(ktEditMultiLine, &ED::multiLine),
    TBind<ED>::ByteIn(ktEditCase, &ED::charCase, ecNormal, ecLowerCase),
    TBind<ED>::Special(ktEditPassword, SetEditPassword),
    TBind<ED>::Special(ktEditNumber, SetEditNumber),
}});

using LB = TListBoxProps;
const auto kListBoxRows = JoinBindings<LB>({FontRows<LB>(), HoverRows<LB>(), {
    TBind<LB>::Text(ktText, &LB::items),
    TBind<LB>::Text(ktObjAction, &LB::changeAction),
    TBind<LB>::Text(ktDblClick, &LB::dblClickAction),
    TBind<LB>::Text(ktHint, &LB::hint),
    TBind<LB>::Word(ktKey, &LB::hotKey),
    TBind<LB>::VarName(ktVarName, &LB::varName),
    TBind<LB>::Byte(ktVarType, &LB::varType),
    TBind<LB>::YesNo(ktSorted, &LB::sorted),
    TBind<LB>::YesNo(ktMultiSelect, &LB::multiSelect),
}});

using CO = TComboBoxProps;
const auto kComboBoxRows = JoinBindings<CO>({FontRows<CO>(), HoverRows<CO>(), {
    TBind<CO>::Text(ktText, &CO::items),
    TBind<CO>::Text(ktObjAction, &CO::changeAction),
    TBind<CO>::Text(ktHint, &CO::hint),
    TBind<CO>::Word(ktKey, &CO::hotKey),
    TBind<CO>::VarName(ktVarName, &CO::varName),
    TBind<CO>::Byte(ktVarType, &CO::varType),
    TBind<CO>::YesNo(ktSorted, &CO::sorted),
    TBind<CO>::YesNo(ktXPTheme, &CO::useXPTheme),
}});

using TB = TTrackBarProps;
const auto kTrackBarRows = JoinBindings<TB>({HoverRows<TB>(), {
    TBind<TB>::Text(ktObjAction, &TB::changeAction),
    TBind<TB>::Special(ktChangingAction, SetChangingAction),
    TBind<TB>::Text(ktHint, &TB::hint),
    TBind<TB>::ByteIn(ktAlign, &TB::orientation, slHoriz, slVertical),
    TBind<TB>::VarName(ktVarName, &TB::varName),
    TBind<TB>::Int(ktInitState, &TB::initialValue),
    TBind<TB>::Special(ktMin, SetTrackMinimum),
    TBind<TB>::Special(ktMax, SetTrackMaximum),
    TBind<TB>::Int(ktThumbSize, &TB::thumbSize),
    TBind<TB>::Int(ktTrackSize, &TB::trackSize),
    TBind<TB>::Text(ktThumbImage, &TB::thumbImage),
    TBind<TB>::Text(ktTrackImage, &TB::trackImage),
    TBind<TB>::Int(ktThumbTransColor, &TB::thumbTransColor),
    TBind<TB>::Int(ktTrackTransColor, &TB::trackTransColor),
}});

using TM = TTimerProps;
const TBindingTable<TM> kTimerRows = {
    TBind<TM>::Text(ktObjAction, &TM::timerAction),
    TBind<TM>::VarName(ktVarName, &TM::varName),
    TBind<TM>::YesNo(ktAutoStart, &TM::autoStart),
    TBind<TM>::Int(ktInterval, &TM::interval),
    TBind<TM>::YesNo(ktRunOnce, &TM::runOnce),
    TBind<TM>::YesNo(ktAutoStop, &TM::autoStop),
};

using PI = TPictureProps;
const auto kPictureRows = JoinBindings<PI>({HoverRows<PI>(), {
    TBind<PI>::Text(ktObjAction, &PI::clickAction),
    TBind<PI>::Text(ktObjRAction, &PI::rClickAction),
    TBind<PI>::Text(ktHint, &PI::hint),
    TBind<PI>::YesNo(ktScrollBar, &PI::scrollBars),
    TBind<PI>::Text(ktFileName, &PI::fileName),
    TBind<PI>::ByteIn(ktPictStyle, &PI::paintMode, pNormal, pAuto),
    TBind<PI>::Int(ktPictTransColor, &PI::transColor),
    TBind<PI>::YesNo(ktPictMousePan, &PI::mousePan),
    TBind<PI>::Special(ktPictZoomFactor, SetZoomFactor),
    TBind<PI>::YesNo(ktCentered, &PI::centered),
    TBind<PI>::Int(ktOpacityEx, &PI::opacity),
    TBind<PI>::YesNo(ktResample, &PI::resample),
}});

using PO = TPolygonProps;
const auto kPolygonRows = JoinBindings<PO>({HoverRows<PO>(), DragRows<PO>(), {
    TBind<PO>::Text(ktObjAction, &PO::clickAction),
    TBind<PO>::Text(ktObjRAction, &PO::rClickAction),
    TBind<PO>::Text(ktHint, &PO::hint),
    TBind<PO>::Text(ktFileName, &PO::fileName),
    TBind<PO>::Special(ktPictStyle, SetPolygonShapeMode),
    TBind<PO>::Int(ktPictTransColor, &PO::transColor),
    TBind<PO>::Int(ktOpacityEx, &PO::opacity),
    TBind<PO>::Text(ktPoints, &PO::points),
}});

using LI = TLineProps;
const TBindingTable<LI> kLineRows = {
    TBind<LI>::Special(ktX1, SetLineX1),
    TBind<LI>::Special(ktY1, SetLineY1),
    TBind<LI>::Special(ktX2, SetLineX2),
    TBind<LI>::Special(ktY2, SetLineY2),
    TBind<LI>::Int(ktEndCaps, &LI::endCaps),
};

using AR = TArticleProps;
const auto kArticleRows = JoinBindings<AR>({FontRows<AR>(), HoverRows<AR>(), {
    TBind<AR>::Text(ktHint, &AR::hint),
    TBind<AR>::YesNo(ktWordWrap, &AR::wordWrap),
    TBind<AR>::YesNo(ktScrollBar, &AR::scrollBars),
    TBind<AR>::Text(ktFileName, &AR::fileName),
    TBind<AR>::YesNo(ktAllowCopy, &AR::allowCopy),
    TBind<AR>::YesNo(ktOverrideFont, &AR::overrideFont),
}});
const auto kLinkedArticleRows = JoinBindings<AR>({FontRows<AR>(), HoverRows<AR>(), {
    TBind<AR>::Text(ktText, &AR::text),
    TBind<AR>::Text(ktFileName, &AR::fileName),
    TBind<AR>::YesNo(ktAllowCopy, &AR::allowCopy),
    TBind<AR>::YesNo(ktOverrideFont, &AR::overrideFont),
}});

using WB = TWebBrowserProps;
const auto kWebBrowserRows = JoinBindings<WB>({FontRows<WB>(), {
    TBind<WB>::Text(ktObjAction, &WB::beforeAction),
    TBind<WB>::Text(ktNavCompAction, &WB::afterAction),
    TBind<WB>::Text(ktObjEnterAction, &WB::downloadBeginAction),
    TBind<WB>::Text(ktObjExitAction, &WB::downloadCompleteAction),
    TBind<WB>::VarName(ktVarName, &WB::statusVarName),
    TBind<WB>::VarName(ktTitleVarName, &WB::titleVarName),
    TBind<WB>::VarName(ktUrlVarName, &WB::urlVarName),
    TBind<WB>::YesNo(ktScrollBar, &WB::hideScrollBars),
    TBind<WB>::Text(ktFileName, &WB::defaultUrl),
    TBind<WB>::YesNo(ktContextMenu, &WB::allowContextMenu),
    TBind<WB>::YesNo(ktSilentMode, &WB::silentMode),
    TBind<WB>::YesNo(ktTrapPopups, &WB::trapPopups),
    TBind<WB>::YesNo(ktShowToolBar, &WB::showToolBar),
    TBind<WB>::YesNo(ktShowStatusBar, &WB::showStatusBar),
    TBind<WB>::YesNo(ktEnhSecurity, &WB::enhancedSecurity),
}});

using MP = TMediaPlayerProps;
const auto kMediaPlayerRows = JoinBindings<MP>({HoverRows<MP>(), {
    TBind<MP>::Text(ktObjAction, &MP::clickAction),
    TBind<MP>::VarName(ktVarName, &MP::varName),
    TBind<MP>::Text(ktFileName, &MP::fileName),
    TBind<MP>::ByteIn(ktPictStyle, &MP::paintMode, pNormal, pAuto),
    TBind<MP>::YesNo(ktShowControls, &MP::showControls),
    TBind<MP>::YesNo(ktLoopPlayback, &MP::loop),
    TBind<MP>::Text(ktObjDoneAction, &MP::doneAction),
    TBind<MP>::Text(ktObjCancelAction, &MP::cancelAction),
    TBind<MP>::Text(ktObjPlayAction, &MP::playAction),
}});

using AN = TAnimatorProps;
const auto kAnimatorRows = JoinBindings<AN>({HoverRows<AN>(), {
    TBind<AN>::Text(ktObjAction, &AN::clickAction),
    TBind<AN>::Text(ktHint, &AN::hint),
    TBind<AN>::Text(ktFileName, &AN::fileName),
    TBind<AN>::YesNo(ktAutoStart, &AN::autoStart),
    TBind<AN>::Text(ktObjDoneAction, &AN::doneAction),
    TBind<AN>::Int(ktLoopTimes, &AN::loopCount),
    TBind<AN>::YesNo(ktAutoSize, &AN::autoSize),
    TBind<AN>::YesNo(ktAutoRewind, &AN::autoRewind),
}});

using CN = TContainerProps;
const auto kContainerRows = JoinBindings<CN>({HoverRows<CN>(), {
    TBind<CN>::Text(ktObjAction, &CN::resizeAction),
    TBind<CN>::Int(ktHMargin, &CN::hMargin),
    TBind<CN>::Int(ktVMargin, &CN::vMargin),
}});

using FL = TFlashProps;
const TBindingTable<FL> kFlashRows = {
    TBind<FL>::Text(ktFileName, &FL::fileName),
    TBind<FL>::YesNo(ktAutoStart, &FL::autoStart),
    TBind<FL>::Int(ktImageStyle, &FL::scaleMode),
    TBind<FL>::YesNo(ktContextMenu, &FL::allowContextMenu),
    TBind<FL>::Text(ktNavCompAction, &FL::loadedAction),
    TBind<FL>::NotYesNo(ktEnhSecurity, &FL::allowScriptAccess),
    TBind<FL>::YesNo(ktLoopPlayback, &FL::loop),
    TBind<FL>::Text(ktObjDoneAction, &FL::doneAction),
    TBind<FL>::Text(ktObjCancelAction, &FL::cancelAction),
    TBind<FL>::YesNo(ktAutoRewind, &FL::autoRewind),
    TBind<FL>::YesNo(ktUseBkndColor, &FL::useBkndColor),
    TBind<FL>::YesNo(ktUseInternalLoop, &FL::useInternalLoop),
};

// ---- the class table -----------------------------------------------------------------------

struct TClassInfo {
    int type;
    const char* className;
    void (*makeProps)(TObjectProps&);
    bool (*apply)(TObjectRecord&, TRecord&);
    bool (*takes)(int tag);
};

// In place: the properties hold many strings and are not moved around.
template <class P>
void MakeProps(TObjectProps& props) { props.emplace<P>(); }

template <class P, const auto& Rows>
bool ApplyRows(TObjectRecord& object, TRecord& record) {
    P* props = object.As<P>();
    if (!props) return false;
    TBindingContext context{&object, nullptr};
    return ApplyBinding(Rows, *props, record, context);
}

template <const auto& Rows>
bool Takes(int tag) {
    return std::any_of(Rows.begin(), Rows.end(), [tag](const auto& row) { return row.tag == tag; });
}

bool TakesNothing(int) { return false; }
bool ApplyNothing(TObjectRecord&, TRecord&) { return false; }

#define TOMERIC_CLASS(type, name, P, rows) \
    {type, name, MakeProps<P>, ApplyRows<P, rows>, Takes<rows>}
#define TOMERIC_SHAPE(type, name) {type, name, MakeProps<std::monostate>, ApplyNothing, TakesNothing}

const TClassInfo kClasses[] = {
    TOMERIC_CLASS(otArticle, "TTomericArticle", TArticleProps, kArticleRows),
    TOMERIC_CLASS(otPushBtn, "TTomericPushBtn", TPushButtonProps, kPushButtonRows),
    TOMERIC_CLASS(otPicture, "TTomericPicture", TPictureProps, kPictureRows),
    TOMERIC_SHAPE(otRect, "TTomericRect"),
    TOMERIC_SHAPE(otCircle, "TTomericCircle"),
    TOMERIC_CLASS(otLine, "TTomericLine", TLineProps, kLineRows),
    TOMERIC_CLASS(otText, "TTomericText", TTextProps, kTextRows),
    TOMERIC_CLASS(otEditField, "TTomericEditField", TEditFieldProps, kEditFieldRows),
    TOMERIC_CLASS(otListBox, "TTomericListBox", TListBoxProps, kListBoxRows),
    TOMERIC_CLASS(otComboBox, "TTomericComboBox", TComboBoxProps, kComboBoxRows),
    TOMERIC_CLASS(otCheckBox, "TTomericCheckBox", TCheckBoxProps, kCheckBoxRows),
    TOMERIC_CLASS(otRadioBtn, "TTomericRadioBtn", TCheckBoxProps, kCheckBoxRows),
    TOMERIC_CLASS(otWebBrowser, "TTomericWebBrowser", TWebBrowserProps, kWebBrowserRows),
    TOMERIC_CLASS(otTimer, "TTomericTimer", TTimerProps, kTimerRows),
    TOMERIC_CLASS(otTrackBar, "TTomericTrackBar", TTrackBarProps, kTrackBarRows),
    TOMERIC_SHAPE(otRoundRect, "TTomericRoundRect"),
    TOMERIC_CLASS(otMediaPlayer, "TTomericMediaPlayer", TMediaPlayerProps, kMediaPlayerRows),
    TOMERIC_CLASS(otAnimator, "TTomericAnimator", TAnimatorProps, kAnimatorRows),
    TOMERIC_SHAPE(otGroup, "TTomericGroup"),
    TOMERIC_CLASS(otContainer, "TTomericContainer", TContainerProps, kContainerRows),
    TOMERIC_CLASS(otFlash, "TTomericFlash", TFlashProps, kFlashRows),
    TOMERIC_CLASS(otPolygon, "TTomericPolygon", TPolygonProps, kPolygonRows),
    TOMERIC_CLASS(otLinkedArticle, "TTomericLinkedArticle", TArticleProps, kLinkedArticleRows),
};

#undef TOMERIC_CLASS
#undef TOMERIC_SHAPE

static_assert(std::size(kClasses) == kLastObjectType - kFirstObjectType + 1);

const TClassInfo* ClassOf(int type) {
    return IsObjectType(type) ? &kClasses[type - kFirstObjectType] : nullptr;
}

} // namespace

const char* ObjectClassName(int type) {
    const TClassInfo* info = ClassOf(type);
    return info ? info->className : "";
}

TObjectRecord MakeObjectRecord(int type) {
    TObjectRecord record;
    record.objType = type;
    if (const TClassInfo* info = ClassOf(type)) info->makeProps(record.props);
    return record;
}

TObjectRecord& AppendObjectRecord(std::vector<TObjectRecord>& list, int type) {
    TObjectRecord& record = list.emplace_back();
    record.objType = type;
    if (const TClassInfo* info = ClassOf(type)) info->makeProps(record.props);
    return record;
}

bool ApplyCommonObjectRecord(TObjectRecord& object, TRecord& record) {
    TBindingContext context{&object, nullptr};
    return ApplyBinding(kCommonRows, object, record, context);
}

bool ApplyClassObjectRecord(TObjectRecord& object, TRecord& record) {
    const TClassInfo* info = ClassOf(object.objType);
    return info && info->apply(object, record);
}

bool ClassTakesKey(int objType, int tag) {
    const TClassInfo* info = ClassOf(objType);
    return info && info->takes(tag);
}

} // namespace tomeric
