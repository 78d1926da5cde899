#include "publication/publication_settings.h"

#include "publication/key_table.h"
#include "publication/record_binding.h"

namespace tomeric {
namespace {

// SCREENCOLORS= accepts only the colour counts of real display modes.
void SetScreenColors(TPublicationSettings& s, const TRecord& r, TBindingContext&) {
    constexpr int kAccepted[] = {2, 16, 256, 32768, 65536, 16777216};
    if (r.integer && std::find(std::begin(kAccepted), std::end(kAccepted), *r.integer) !=
                         std::end(kAccepted)) {
        s.screenColors = *r.integer;
    }
}

using S = TPublicationSettings;
using BS = TBind<S>;
const TBindingTable<S> kSettingRows = {
    BS::Text(ktTitle, &S::title),
    BS::Text(ktAuthor, &S::author),
    BS::Int(ktScreenWidth, &S::screenWidth),
    BS::Int(ktScreenHeight, &S::screenHeight),
    {ktScreenColors, TValueRule::vrSpecial, &S::screenColors, nullptr, nullptr, SetScreenColors},
    BS::Text(ktAppCursor, &S::appCursor),
    BS::Text(ktHotSpotCursor, &S::hotSpotCursor),
    BS::Text(ktDragCursor, &S::dragCursor),
    BS::Text(ktBusyCursor, &S::busyCursor),
    BS::Text(ktExitPassword, &S::exitPassword),
    BS::Text(ktStartPassword, &S::startPassword),
    BS::YesNo(ktAllowEsc, &S::allowEsc),
    BS::YesNo(ktAllowPageUpDn, &S::allowPageUpDn),
    BS::Int(ktWindowStyle, &S::windowStyle),
    BS::Int(ktWindowOrder, &S::windowOrder),
    BS::Int(ktWindowProps, &S::windowProps),
    BS::Int(ktWindowPos, &S::windowPos),
    BS::Text(ktWindowRegKey, &S::windowRegKey),
    BS::Int(ktMinPubWidth, &S::minPubWidth),
    BS::Int(ktMinPubHeight, &S::minPubHeight),
    BS::YesNo(ktScreenAutoSize, &S::screenAutoSize),
    BS::Int(ktBkndColor, &S::bkndColor),
    BS::Text(ktShapeFile, &S::shapeFile),
    BS::Int(ktShapeTransColor, &S::shapeTransColor),
    BS::YesNo(ktAutoReturn, &S::autoReturn),
    BS::Int(ktReturnTime, &S::returnTime),
    BS::Text(ktReturnAction, &S::returnAction),
    BS::YesNo(ktMouseExit, &S::mouseExit),
    BS::YesNo(ktShowErrors, &S::showErrors),
    BS::YesNo(ktShowMarquee, &S::showMarquee),
    BS::YesNo(ktBypassPrintDlg, &S::bypassPrintDlg),
    BS::Text(ktStartupAction, &S::startupAction),
    BS::Text(ktShutdownAction, &S::shutdownAction),
    BS::Text(ktActivateAction, &S::activateAction),
    BS::Text(ktDeactivateAction, &S::deactivateAction),
    BS::Text(ktPageChangeAction, &S::pageChangeAction),
    BS::Text(ktSubroutineAction, &S::subroutineAction),
    BS::YesNo(ktUseUpdateTimer, &S::useUpdateTimer),
    BS::Text(ktHelpFile, &S::helpFile),
    BS::YesNo(ktNoCtrlAltDel, &S::noCtrlAltDel),
    BS::YesNo(ktNoPrintScrn, &S::noPrintScrn),
    BS::Text(ktAlertBoxImage, &S::alertBoxImage),
    BS::Text(ktMsgBoxImage, &S::msgBoxImage),
    BS::Text(ktExitBoxImage, &S::exitBoxImage),
    BS::Text(ktCustomFontName, &S::customFontName),
    BS::Int(ktCustomFontSize, &S::customFontSize),
    BS::FontStyle(ktCustomFontStyle, &S::customFontStyle),
    BS::Int(ktCustomCharset, &S::customCharset),
    BS::Int(ktLinkColor, &S::linkColor),
    BS::AtLeast(ktCacheSize, &S::cacheSize, 1),
    BS::IntIn(ktBiDiMode, &S::biDiMode, bdLeftToRight, bdRightToLeftReadingOnly),
    BS::Byte(ktExtractOp, &S::extractOp),
    BS::Text(ktExtractDir, &S::extractDir),
    BS::Text(ktPubVersion, &S::pubVersion),
    BS::Text(ktEmbeddedFiles, &S::embeddedFiles),
};

QString DescribeValue(const TBinding<S>& row, const S& settings) {
    if (row.intField) return QString::number(settings.*row.intField);
    if (row.boolField) return settings.*row.boolField ? QStringLiteral("Yes") : QStringLiteral("No");
    return settings.*row.textField;
}

bool DiffersFromDefault(const TBinding<S>& row, const S& settings, const S& defaults) {
    if (row.intField) return settings.*row.intField != defaults.*row.intField;
    if (row.boolField) return settings.*row.boolField != defaults.*row.boolField;
    return row.textField && settings.*row.textField != defaults.*row.textField;
}

} // namespace

bool ApplySettingRecord(TPublicationSettings& settings, TRecord& record) {
    TBindingContext context{nullptr, &settings};
    return ApplyBinding(kSettingRows, settings, record, context);
}

QList<QPair<QString, QString>> SettingsDifferingFromDefaults(const TPublicationSettings& settings) {
    const TPublicationSettings defaults;
    QList<QPair<QString, QString>> differences;
    for (const TBinding<S>& row : kSettingRows) {
        if (!DiffersFromDefault(row, settings, defaults)) continue;
        const TKeyInfo* key = FindKeyByTag(row.tag);
        differences.append({QString::fromLatin1(key ? key->key : ""), DescribeValue(row, settings)});
    }
    return differences;
}

} // namespace tomeric
