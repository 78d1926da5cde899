// The control words the reader knows, and how each changes the group state,
// the tables or the document. Words not listed here are skipped (and their
// group too when "\*" marks it as an optional destination).

#include "richtext/rich_text_properties.h"
#include "richtext/rtf_code_pages.h"
#include "richtext/rtf_reader_impl.h"

#include <QFont>
#include <QTextDocument>

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace tomeric {
namespace {

using R = TRtfReaderImpl;

enum CharToggleKind { ctBold, ctItalic, ctStrike, ctHidden, ctProtect };
enum CharNumberKind { cnFont, cnSize, cnForeground, cnBackground };
enum ParaNumberKind { pnLeft, pnRight, pnFirst, pnBefore, pnAfter, pnLine, pnLineMultiple };
enum PictureNumberKind { pkWidth, pkHeight, pkGoalWidth, pkGoalHeight, pkScaleX, pkScaleY,
                         pkBitsPerPixel, pkPlanes, pkWidthBytes };
enum ColourChannel { ccRed, ccGreen, ccBlue };
enum TableWordKind { twRowDefaults, twLeft, twGap, twCellRight, twHeight,
                     twAlignLeft, twAlignCentre, twAlignRight, twCellBackground, twCellShading,
                     twCellTop, twCellMiddle, twCellBottom, twMergeFirst, twMerged,
                     twVerticalMergeFirst, twVerticallyMerged };
enum BorderWordKind { bwCellTop, bwCellLeft, bwCellBottom, bwCellRight, bwRowTop, bwRowLeft,
                      bwRowBottom, bwRowRight, bwRowInsideH, bwRowInsideV, bwOther,
                      bwSolid, bwThick, bwDouble, bwDotted, bwDashed, bwDotDash, bwDotDotDash,
                      bwInset, bwOutset, bwGroove, bwRidge, bwNone, bwWidth, bwColour };
// Padding words: kind + TRtfSide.
enum PaddingWordKind { pwCell = 0, pwCellUnit = 4, pwRow = 8, pwRowUnit = 12 };
enum ShapeWordKind { swShape, swInstance, swName, swValue, swText, swResult,
                     swLeft, swTop, swRight, swBottom };
enum InTableKind { itMark, itLevel };

constexpr double kTwipsPerPixel = 15.0;
// Indents and spacings beyond this many twips (about 2 m) are damage.
constexpr int kMaxTwips = 31680 * 4;

struct Word {
    std::string_view name;
    R::Handler handler;
    int arg = 0;
    bool destination = false;
};

// clang-format off
const Word kWords[] = {
    // document
    {"rtf", &R::Ignore},
    {"ansi", &R::DocumentCodePage, 1252}, {"mac", &R::DocumentCodePage, 10000},
    {"pc", &R::DocumentCodePage, 437}, {"pca", &R::DocumentCodePage, 850},
    {"ansicpg", &R::DocumentCodePage, 0}, {"deff", &R::DefaultFont},
    {"uc", &R::UnicodeSkip}, {"u", &R::UnicodeChar},
    // tables
    {"fonttbl", &R::Destination, int(TRtfDestination::FontTable), true},
    {"colortbl", &R::Destination, int(TRtfDestination::ColorTable), true},
    {"fcharset", &R::FontCharset}, {"cpg", &R::FontCodePage},
    {"fnil", &R::FontFamily, 0}, {"froman", &R::FontFamily, 1}, {"fswiss", &R::FontFamily, 2},
    {"fmodern", &R::FontFamily, 3}, {"fscript", &R::FontFamily, 4}, {"fdecor", &R::FontFamily, 5},
    {"ftech", &R::FontFamily, 6}, {"fbidi", &R::FontFamily, 0},
    {"red", &R::ColourComponent, ccRed}, {"green", &R::ColourComponent, ccGreen},
    {"blue", &R::ColourComponent, ccBlue},
    // character formatting
    {"plain", &R::Plain},
    {"b", &R::CharToggle, ctBold}, {"i", &R::CharToggle, ctItalic},
    {"strike", &R::CharToggle, ctStrike}, {"striked", &R::CharToggle, ctStrike},
    {"v", &R::CharToggle, ctHidden}, {"protect", &R::CharToggle, ctProtect},
    {"f", &R::CharNumber, cnFont}, {"fs", &R::CharNumber, cnSize},
    {"cf", &R::CharNumber, cnForeground}, {"cb", &R::CharNumber, cnBackground},
    {"highlight", &R::CharNumber, cnBackground}, {"chcbpat", &R::CharNumber, cnBackground},
    {"ul", &R::Underline, QTextCharFormat::SingleUnderline},
    {"ulw", &R::Underline, QTextCharFormat::SingleUnderline},
    {"ulth", &R::Underline, QTextCharFormat::SingleUnderline},
    {"uld", &R::Underline, QTextCharFormat::DotLine},
    {"uldash", &R::Underline, QTextCharFormat::DashUnderline},
    {"ulwave", &R::Underline, QTextCharFormat::WaveUnderline},
    {"uldb", &R::Underline, -1}, // hot text
    {"ulnone", &R::Underline, QTextCharFormat::NoUnderline},
    {"super", &R::Vertical, QTextCharFormat::AlignSuperScript},
    {"sub", &R::Vertical, QTextCharFormat::AlignSubScript},
    {"nosupersub", &R::Vertical, QTextCharFormat::AlignNormal},
    // paragraph formatting
    {"pard", &R::ParagraphDefaults},
    {"ql", &R::Alignment, int(Qt::AlignLeft)}, {"qc", &R::Alignment, int(Qt::AlignHCenter)},
    {"qr", &R::Alignment, int(Qt::AlignRight)}, {"qj", &R::Alignment, int(Qt::AlignJustify)},
    {"li", &R::ParaNumber, pnLeft}, {"ri", &R::ParaNumber, pnRight},
    {"lin", &R::ParaNumber, pnLeft}, {"rin", &R::ParaNumber, pnRight},
    {"fi", &R::ParaNumber, pnFirst}, {"sb", &R::ParaNumber, pnBefore},
    {"sa", &R::ParaNumber, pnAfter}, {"sl", &R::ParaNumber, pnLine},
    {"slmult", &R::ParaNumber, pnLineMultiple},
    {"tx", &R::TabStop}, {"tb", &R::TabStop},
    {"tqr", &R::TabType, QTextOption::RightTab}, {"tqc", &R::TabType, QTextOption::CenterTab},
    {"tqdec", &R::TabType, QTextOption::DelimiterTab},
    // special characters and breaks
    {"par", &R::Paragraph}, {"sect", &R::Paragraph}, {"page", &R::Paragraph},
    {"line", &R::Special, 0x2028}, {"tab", &R::Special, '\t'},
    // tables, nested ones too ({\nonesttables ...} is their fallback for
    // readers without nested tables)
    {"trowd", &R::TableWord, twRowDefaults}, {"trleft", &R::TableWord, twLeft},
    {"trgaph", &R::TableWord, twGap}, {"cellx", &R::TableWord, twCellRight},
    {"trrh", &R::TableWord, twHeight},
    {"trql", &R::TableWord, twAlignLeft}, {"trqc", &R::TableWord, twAlignCentre},
    {"trqr", &R::TableWord, twAlignRight},
    {"clcbpat", &R::TableWord, twCellBackground}, {"clshdng", &R::TableWord, twCellShading},
    {"clvertalt", &R::TableWord, twCellTop},
    {"clvertalc", &R::TableWord, twCellMiddle}, {"clvertalb", &R::TableWord, twCellBottom},
    {"clmgf", &R::TableWord, twMergeFirst}, {"clmrg", &R::TableWord, twMerged},
    {"clvmgf", &R::TableWord, twVerticalMergeFirst}, {"clvmrg", &R::TableWord, twVerticallyMerged},
    {"clbrdrt", &R::BorderWord, bwCellTop}, {"clbrdrl", &R::BorderWord, bwCellLeft},
    {"clbrdrb", &R::BorderWord, bwCellBottom}, {"clbrdrr", &R::BorderWord, bwCellRight},
    {"trbrdrt", &R::BorderWord, bwRowTop}, {"trbrdrl", &R::BorderWord, bwRowLeft},
    {"trbrdrb", &R::BorderWord, bwRowBottom}, {"trbrdrr", &R::BorderWord, bwRowRight},
    {"trbrdrh", &R::BorderWord, bwRowInsideH}, {"trbrdrv", &R::BorderWord, bwRowInsideV},
    // borders that are not the table's: their words must not reach a cell
    {"brdrt", &R::BorderWord, bwOther}, {"brdrb", &R::BorderWord, bwOther},
    {"brdrl", &R::BorderWord, bwOther}, {"brdrr", &R::BorderWord, bwOther},
    {"brdrbox", &R::BorderWord, bwOther}, {"brdrbtw", &R::BorderWord, bwOther},
    {"brdrbar", &R::BorderWord, bwOther}, {"chbrdr", &R::BorderWord, bwOther},
    {"pgbrdrt", &R::BorderWord, bwOther}, {"pgbrdrb", &R::BorderWord, bwOther},
    {"pgbrdrl", &R::BorderWord, bwOther}, {"pgbrdrr", &R::BorderWord, bwOther},
    {"cldglu", &R::BorderWord, bwOther}, {"cldgll", &R::BorderWord, bwOther},
    {"brdrs", &R::BorderWord, bwSolid}, {"brdrsh", &R::BorderWord, bwSolid},
    {"brdrhair", &R::BorderWord, bwSolid}, {"brdrwavy", &R::BorderWord, bwSolid},
    {"brdrth", &R::BorderWord, bwThick}, {"brdrdb", &R::BorderWord, bwDouble},
    {"brdrtriple", &R::BorderWord, bwDouble}, {"brdrwavydb", &R::BorderWord, bwDouble},
    {"brdrdot", &R::BorderWord, bwDotted}, {"brdrdash", &R::BorderWord, bwDashed},
    {"brdrdashsm", &R::BorderWord, bwDashed}, {"brdrdashd", &R::BorderWord, bwDotDash},
    {"brdrdashdd", &R::BorderWord, bwDotDotDash}, {"brdrdashdotstr", &R::BorderWord, bwDotDash},
    {"brdrinset", &R::BorderWord, bwInset}, {"brdroutset", &R::BorderWord, bwOutset},
    {"brdrengrave", &R::BorderWord, bwGroove}, {"brdremboss", &R::BorderWord, bwRidge},
    {"brdrnone", &R::BorderWord, bwNone}, {"brdrtbl", &R::BorderWord, bwNone},
    {"brdrnil", &R::BorderWord, bwNone},
    {"brdrw", &R::BorderWord, bwWidth}, {"brdrcf", &R::BorderWord, bwColour},
    // Word writes \clpadl for the top padding and \clpadt for the left one
    // (and so do the files made for it); \trpadd* mean what they say.
    {"clpadt", &R::PaddingWord, pwCell + rsLeft}, {"clpadl", &R::PaddingWord, pwCell + rsTop},
    {"clpadb", &R::PaddingWord, pwCell + rsBottom}, {"clpadr", &R::PaddingWord, pwCell + rsRight},
    {"clpadft", &R::PaddingWord, pwCellUnit + rsLeft},
    {"clpadfl", &R::PaddingWord, pwCellUnit + rsTop},
    {"clpadfb", &R::PaddingWord, pwCellUnit + rsBottom},
    {"clpadfr", &R::PaddingWord, pwCellUnit + rsRight},
    {"trpaddt", &R::PaddingWord, pwRow + rsTop}, {"trpaddl", &R::PaddingWord, pwRow + rsLeft},
    {"trpaddb", &R::PaddingWord, pwRow + rsBottom}, {"trpaddr", &R::PaddingWord, pwRow + rsRight},
    {"trpaddft", &R::PaddingWord, pwRowUnit + rsTop},
    {"trpaddfl", &R::PaddingWord, pwRowUnit + rsLeft},
    {"trpaddfb", &R::PaddingWord, pwRowUnit + rsBottom},
    {"trpaddfr", &R::PaddingWord, pwRowUnit + rsRight},
    {"intbl", &R::InTable, itMark}, {"itap", &R::InTable, itLevel},
    {"cell", &R::Cell, 0}, {"row", &R::Row, 0},
    {"nestcell", &R::Cell, 1}, {"nestrow", &R::Row, 1},
    {"nesttableprops", &R::NestTableProps, 0, true},
    {"nonesttables", &R::SkipDestination, 0, true},
    // drawing shapes: a picture shape's picture (its "pib" property) and a
    // text box's text show where the shape is anchored; the shape's result
    // (a fallback drawing) shows only when neither did
    {"shp", &R::ShapeWord, swShape}, {"shpgrp", &R::ShapeWord, swShape},
    {"shpinst", &R::ShapeWord, swInstance, true}, {"sn", &R::ShapeWord, swName},
    {"sv", &R::ShapeWord, swValue}, {"shptxt", &R::ShapeWord, swText, true},
    {"shprslt", &R::ShapeWord, swResult, true},
    {"shpleft", &R::ShapeWord, swLeft}, {"shptop", &R::ShapeWord, swTop},
    {"shpright", &R::ShapeWord, swRight}, {"shpbottom", &R::ShapeWord, swBottom},
    // styles
    {"stylesheet", &R::Stylesheet, 0, true}, {"s", &R::StyleNumber, 0},
    {"cs", &R::StyleNumber, 1, true}, {"sbasedon", &R::StyleBasedOn},
    {"emdash", &R::Special, 0x2014}, {"endash", &R::Special, 0x2013},
    {"emspace", &R::Special, 0x2003}, {"enspace", &R::Special, 0x2002},
    {"qmspace", &R::Special, 0x2005}, {"bullet", &R::Special, 0x2022},
    {"lquote", &R::Special, 0x2018}, {"rquote", &R::Special, 0x2019},
    {"ldblquote", &R::Special, 0x201C}, {"rdblquote", &R::Special, 0x201D},
    {"zwj", &R::Special, 0x200D}, {"zwnj", &R::Special, 0x200C},
    {"ltrmark", &R::Special, 0x200E}, {"rtlmark", &R::Special, 0x200F},
    // fields and bookmarks
    {"field", &R::Field, 0, true},
    {"fldinst", &R::Destination, int(TRtfDestination::FieldInstruction), true},
    {"fldrslt", &R::FieldResult, 0, true},
    {"bkmkstart", &R::Destination, int(TRtfDestination::BookmarkStart), true},
    // pictures
    {"pict", &R::Destination, int(TRtfDestination::Picture), true},
    {"pngblip", &R::PictureKind, int(TRtfPictureKind::Png)},
    {"jpegblip", &R::PictureKind, int(TRtfPictureKind::Jpeg)},
    {"dibitmap", &R::PictureKind, int(TRtfPictureKind::DeviceIndependentBitmap)},
    {"wbitmap", &R::PictureKind, int(TRtfPictureKind::WindowsBitmap)},
    {"wmetafile", &R::PictureKind, int(TRtfPictureKind::Metafile)},
    {"emfblip", &R::PictureKind, int(TRtfPictureKind::Metafile)},
    {"macpict", &R::PictureKind, int(TRtfPictureKind::Metafile)},
    {"pmmetafile", &R::PictureKind, int(TRtfPictureKind::Metafile)},
    {"picw", &R::PictureNumber, pkWidth}, {"pich", &R::PictureNumber, pkHeight},
    {"picwgoal", &R::PictureNumber, pkGoalWidth}, {"pichgoal", &R::PictureNumber, pkGoalHeight},
    {"picscalex", &R::PictureNumber, pkScaleX}, {"picscaley", &R::PictureNumber, pkScaleY},
    {"wbmbitspixel", &R::PictureNumber, pkBitsPerPixel},
    {"wbmplanes", &R::PictureNumber, pkPlanes},
    {"wbmwidthbytes", &R::PictureNumber, pkWidthBytes},
    // groups whose text shows: a picture's wrapper, an object's result, the
    // fallback text of list numbers
    {"shppict", &R::Ignore, 0, true}, {"result", &R::Ignore, 0, true},
    {"object", &R::Ignore, 0, true}, {"listtext", &R::Ignore, 0, true},
    {"pntext", &R::Ignore, 0, true},
    // groups that show nothing in a rich-text control
    {"info", &R::SkipDestination, 0, true},
    {"bkmkend", &R::SkipDestination, 0, true}, {"nonshppict", &R::SkipDestination, 0, true},
    {"objdata", &R::SkipDestination, 0, true}, {"pn", &R::SkipDestination, 0, true},
    {"header", &R::SkipDestination, 0, true}, {"headerl", &R::SkipDestination, 0, true},
    {"headerr", &R::SkipDestination, 0, true}, {"headerf", &R::SkipDestination, 0, true},
    {"footer", &R::SkipDestination, 0, true}, {"footerl", &R::SkipDestination, 0, true},
    {"footerr", &R::SkipDestination, 0, true}, {"footerf", &R::SkipDestination, 0, true},
    {"footnote", &R::SkipDestination, 0, true}, {"annotation", &R::SkipDestination, 0, true},
    {"txe", &R::SkipDestination, 0, true}, {"xe", &R::SkipDestination, 0, true},
    {"tc", &R::SkipDestination, 0, true}, {"fontemb", &R::SkipDestination, 0, true},
    {"fontfile", &R::SkipDestination, 0, true}, {"filetbl", &R::SkipDestination, 0, true},
    {"revtbl", &R::SkipDestination, 0, true}, {"template", &R::SkipDestination, 0, true},
    {"private", &R::SkipDestination, 0, true}, {"comment", &R::SkipDestination, 0, true},
    {"buptim", &R::SkipDestination, 0, true}, {"creatim", &R::SkipDestination, 0, true},
    {"printim", &R::SkipDestination, 0, true}, {"revtim", &R::SkipDestination, 0, true},
};
// clang-format on

const std::unordered_map<std::string_view, R::WordEntry>& WordTable()
{
    static const auto table = [] {
        std::unordered_map<std::string_view, R::WordEntry> map;
        for (const Word& word : kWords)
            map.emplace(word.name, R::WordEntry{word.handler, word.arg, word.destination});
        return map;
    }();
    return table;
}

int ClampTwips(int value) { return std::clamp(value, -kMaxTwips, kMaxTwips); }

const char* FamilyForHint(const QString& hint)
{
    static constexpr const char* kFamilies[] = {"", "Times New Roman", "Arial", "Courier New",
                                                "Comic Sans MS", "", "Symbol"};
    const int index = hint.toInt();
    return index > 0 && index < 7 ? kFamilies[index] : "";
}

} // namespace

const TRtfReaderImpl::WordEntry* TRtfReaderImpl::FindWord(QByteArrayView name)
{
    const auto& table = WordTable();
    const auto found = table.find(std::string_view(name.data(), std::size_t(name.size())));
    return found == table.end() ? nullptr : &found->second;
}

// ---- document and tables --------------------------------------------------------

void TRtfReaderImpl::DocumentCodePage(const TRtfToken& token, int codePage)
{
    if (codePage == 0)
        codePage = token.hasParameter ? token.parameter : 0;
    if (codePage > 0 && codePage < 100000)
        documentCodePage_ = codePage;
}

void TRtfReaderImpl::DefaultFont(const TRtfToken& token, int)
{
    if (token.hasParameter)
        defaultFont_ = token.parameter;
}

void TRtfReaderImpl::UnicodeSkip(const TRtfToken& token, int)
{
    if (token.hasParameter)
        Current().unicodeSkip = std::clamp(token.parameter, 0, 16);
}

void TRtfReaderImpl::UnicodeChar(const TRtfToken& token, int)
{
    if (!token.hasParameter)
        return;
    const int code = token.parameter < 0 ? token.parameter + 65536 : token.parameter;
    if (code > 0 && code <= 0xFFFF)
        DestinationText(QString(QChar(char16_t(code))));
    skipChars_ = Current().unicodeSkip;
}

void TRtfReaderImpl::FontCharset(const TRtfToken& token, int)
{
    if (fontEntry_ >= 0 && token.hasParameter && fonts_[fontEntry_].codePage == 0)
        fonts_[fontEntry_].codePage = CodePageOfCharset(token.parameter);
}

void TRtfReaderImpl::FontCodePage(const TRtfToken& token, int)
{
    if (fontEntry_ >= 0 && token.hasParameter && token.parameter > 0)
        fonts_[fontEntry_].codePage = token.parameter;
}

void TRtfReaderImpl::FontFamily(const TRtfToken&, int hint)
{
    if (fontEntry_ >= 0)
        fonts_[fontEntry_].familyHint = QString::number(hint);
}

void TRtfReaderImpl::ColourComponent(const TRtfToken& token, int channel)
{
    const int value = token.hasParameter ? token.parameter : 0;
    (channel == ccRed ? red_ : channel == ccGreen ? green_ : blue_) = value;
}

// ---- destinations -------------------------------------------------------------

void TRtfReaderImpl::Destination(const TRtfToken&, int destination)
{
    if (destination == int(TRtfDestination::FieldInstruction) && fields_.empty()) {
        SkipCurrentGroup();
        return;
    }
    FlushPendingBytes();
    Current().destination = TRtfDestination(destination);
    Current().startsDestination = true;
    if (destination == int(TRtfDestination::Picture))
        picture_ = {};
}

void TRtfReaderImpl::SkipDestination(const TRtfToken&, int)
{
    SkipCurrentGroup();
}

void TRtfReaderImpl::PictureKind(const TRtfToken& token, int kind)
{
    picture_.kind = TRtfPictureKind(kind);
    if (kind == int(TRtfPictureKind::WindowsBitmap) && token.hasParameter && token.parameter != 0)
        picture_.kind = TRtfPictureKind::Unknown; // only plain bitmaps (type 0) carry raw rows
}

void TRtfReaderImpl::PictureNumber(const TRtfToken& token, int which)
{
    if (!token.hasParameter)
        return;
    const int value = token.parameter;
    switch (which) {
    case pkWidth: picture_.width = value; break;
    case pkHeight: picture_.height = value; break;
    case pkGoalWidth: picture_.goalWidth = value; break;
    case pkGoalHeight: picture_.goalHeight = value; break;
    case pkScaleX: picture_.scaleX = value; break;
    case pkScaleY: picture_.scaleY = value; break;
    case pkBitsPerPixel: picture_.bitsPerPixel = value; break;
    case pkPlanes: picture_.planes = value; break;
    case pkWidthBytes: picture_.widthBytes = value; break;
    }
}

// ---- character formatting --------------------------------------------------------

void TRtfReaderImpl::CharToggle(const TRtfToken& token, int which)
{
    const bool on = !token.hasParameter || token.parameter != 0;
    TRtfCharState& chars = Current().chars;
    switch (which) {
    case ctBold: chars.bold = on; break;
    case ctItalic: chars.italic = on; break;
    case ctStrike: chars.strike = on; break;
    case ctHidden: chars.hidden = on; break;
    case ctProtect: chars.protect = on; break;
    }
}

void TRtfReaderImpl::CharNumber(const TRtfToken& token, int which)
{
    TRtfCharState& chars = Current().chars;
    const int value = token.hasParameter ? token.parameter : 0;
    switch (which) {
    case cnFont:
        if (Current().destination == TRtfDestination::FontTable) {
            FinishFontEntry();
            fontEntry_ = value;
            fonts_[value];
        } else {
            FlushPendingBytes();
            chars.font = value;
        }
        break;
    case cnSize:
        chars.halfPoints = value > 0 ? std::min(value, 3276) : -1;
        break;
    case cnForeground: chars.foreground = value; break;
    case cnBackground: chars.background = value > 0 ? value : -1; break;
    }
}

void TRtfReaderImpl::Underline(const TRtfToken& token, int style)
{
    TRtfCharState& chars = Current().chars;
    const bool on = !token.hasParameter || token.parameter != 0;
    if (style < 0) {
        chars.hotText = on;
        return;
    }
    chars.underline = on ? style : QTextCharFormat::NoUnderline;
    if (style == QTextCharFormat::NoUnderline)
        chars.hotText = false;
}

void TRtfReaderImpl::Vertical(const TRtfToken&, int alignment)
{
    Current().chars.vertical = alignment;
}

void TRtfReaderImpl::Plain(const TRtfToken&, int)
{
    Current().chars = {};
}

QTextCharFormat TRtfReaderImpl::CharFormat(const TRtfCharState& state) const
{
    QTextCharFormat format;
    const int number = state.font >= 0 ? state.font : defaultFont_;
    QString family;
    if (const auto font = fonts_.constFind(number); font != fonts_.cend())
        family = font->name.isEmpty() ? QString::fromLatin1(FamilyForHint(font->familyHint))
                                      : font->name;
    format.setFontFamilies(QStringList{family.isEmpty() ? options_.defaultFontFamily : family});
    format.setFontPointSize(state.halfPoints > 0 ? state.halfPoints / 2.0
                                                 : options_.defaultFontPointSize);
    if (state.bold)
        format.setFontWeight(QFont::Bold);
    if (state.italic)
        format.setFontItalic(true);
    if (state.strike)
        format.setFontStrikeOut(true);
    const int underline = state.hotText ? int(QTextCharFormat::SingleUnderline) : state.underline;
    if (underline != QTextCharFormat::NoUnderline)
        format.setUnderlineStyle(QTextCharFormat::UnderlineStyle(underline));
    QColor colour = colours_.value(state.foreground);
    if (!colour.isValid())
        colour = options_.defaultTextColor;
    if (state.hotText && options_.linkColor.isValid())
        colour = options_.linkColor;
    if (colour.isValid())
        format.setForeground(colour);
    if (const QColor background = colours_.value(state.background); background.isValid())
        format.setBackground(background);
    if (state.vertical != QTextCharFormat::AlignNormal)
        format.setVerticalAlignment(QTextCharFormat::VerticalAlignment(state.vertical));
    if (state.hidden)
        format.setProperty(rtpHiddenText, true);
    if (state.protect)
        format.setProperty(rtpProtected, true);
    return format;
}

// ---- paragraph formatting --------------------------------------------------------

void TRtfReaderImpl::ParagraphDefaults(const TRtfToken&, int)
{
    Current().para = {};
    if (InText())
        tables_.ParagraphDefaults();
}

void TRtfReaderImpl::Alignment(const TRtfToken&, int alignment)
{
    Current().para.alignment = Qt::Alignment(alignment);
}

void TRtfReaderImpl::ParaNumber(const TRtfToken& token, int which)
{
    TRtfParaState& para = Current().para;
    const int value = ClampTwips(token.hasParameter ? token.parameter : 0);
    switch (which) {
    case pnLeft: para.leftIndent = value; break;
    case pnRight: para.rightIndent = value; break;
    case pnFirst: para.firstIndent = value; break;
    case pnBefore: para.spaceBefore = value; break;
    case pnAfter: para.spaceAfter = value; break;
    case pnLine: para.lineSpacing = value; break;
    case pnLineMultiple: para.lineMultiple = value != 0; break;
    }
}

void TRtfReaderImpl::TabStop(const TRtfToken& token, int)
{
    TRtfParaState& para = Current().para;
    if (!token.hasParameter || para.tabs.size() >= 64)
        return;
    para.tabs.append(QTextOption::Tab(ClampTwips(token.parameter) / kTwipsPerPixel, para.nextTabType));
    para.nextTabType = QTextOption::LeftTab;
}

void TRtfReaderImpl::TabType(const TRtfToken&, int type)
{
    Current().para.nextTabType = QTextOption::TabType(type);
}

QTextBlockFormat TRtfReaderImpl::BlockFormat(const TRtfParaState& state) const
{
    QTextBlockFormat format;
    format.setAlignment(state.alignment);
    format.setLeftMargin(std::max(0, state.leftIndent) / kTwipsPerPixel);
    format.setRightMargin(std::max(0, state.rightIndent) / kTwipsPerPixel);
    format.setTextIndent(state.firstIndent / kTwipsPerPixel);
    format.setTopMargin(std::max(0, state.spaceBefore) / kTwipsPerPixel);
    format.setBottomMargin(std::max(0, state.spaceAfter) / kTwipsPerPixel);
    if (state.lineSpacing != 0) {
        if (state.lineMultiple && state.lineSpacing > 0)
            format.setLineHeight(state.lineSpacing * 100.0 / 240.0,
                                 QTextBlockFormat::ProportionalHeight);
        else if (state.lineSpacing > 0)
            format.setLineHeight(state.lineSpacing / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
        else
            format.setLineHeight(-state.lineSpacing / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
    }
    if (!state.tabs.isEmpty()) {
        QList<QTextOption::Tab> tabs = state.tabs;
        std::sort(tabs.begin(), tabs.end(),
                  [](const QTextOption::Tab& a, const QTextOption::Tab& b) { return a.position < b.position; });
        format.setTabPositions(tabs);
    }
    return format;
}

// ---- tables ------------------------------------------------------------------------

int TRtfReaderImpl::ParagraphLevel(const TRtfParaState& para)
{
    // \itapN says the level; without it \intbl means the outer table.
    return para.level >= 0 ? para.level : para.inTable ? 1 : 0;
}

// Definition words describe the outer table's row, or inside
// \nesttableprops the nested row being ended.
void TRtfReaderImpl::RouteTableWord()
{
    if (!Current().nestedTableProps) {
        tables_.SetDefinitionLevel(1);
        return;
    }
    tables_.SetDefinitionLevel(std::max(2, tables_.LevelFor(ParagraphLevel(Current().para))));
}

void TRtfReaderImpl::TableWord(const TRtfToken& token, int which)
{
    if (!InText())
        return;
    RouteTableWord();
    const int value = token.hasParameter ? token.parameter : 0;
    switch (which) {
    case twRowDefaults: tables_.StartRowDefinition(); break;
    case twLeft: tables_.SetRowLeft(value); break;
    case twGap: tables_.SetGap(value); break;
    case twCellRight: tables_.CellRight(value); break;
    case twHeight: tables_.SetRowHeight(value); break;
    case twAlignLeft: tables_.SetRowAlignment(Qt::AlignLeft); break;
    case twAlignCentre: tables_.SetRowAlignment(Qt::AlignHCenter); break;
    case twAlignRight: tables_.SetRowAlignment(Qt::AlignRight); break;
    case twCellBackground: tables_.CellBackground(colours_.value(value)); break;
    case twCellShading: tables_.CellShading(value); break;
    case twCellTop: tables_.CellVertical(QTextCharFormat::AlignTop); break;
    case twCellMiddle: tables_.CellVertical(QTextCharFormat::AlignMiddle); break;
    case twCellBottom: tables_.CellVertical(QTextCharFormat::AlignBottom); break;
    case twMergeFirst: tables_.CellMerge(1); break;
    case twMerged: tables_.CellMerge(2); break;
    case twVerticalMergeFirst: tables_.CellVerticalMerge(1); break;
    case twVerticallyMerged: tables_.CellVerticalMerge(2); break;
    }
}

void TRtfReaderImpl::BorderWord(const TRtfToken& token, int which)
{
    if (!InText())
        return;
    RouteTableWord();
    using Style = QTextFrameFormat::BorderStyle;
    const int value = token.hasParameter ? token.parameter : 0;
    switch (which) {
    case bwCellTop: tables_.SetBorderTarget(TRtfBorderTarget::Cell, rsTop); break;
    case bwCellLeft: tables_.SetBorderTarget(TRtfBorderTarget::Cell, rsLeft); break;
    case bwCellBottom: tables_.SetBorderTarget(TRtfBorderTarget::Cell, rsBottom); break;
    case bwCellRight: tables_.SetBorderTarget(TRtfBorderTarget::Cell, rsRight); break;
    case bwRowTop: tables_.SetBorderTarget(TRtfBorderTarget::Row, rrTop); break;
    case bwRowLeft: tables_.SetBorderTarget(TRtfBorderTarget::Row, rrLeft); break;
    case bwRowBottom: tables_.SetBorderTarget(TRtfBorderTarget::Row, rrBottom); break;
    case bwRowRight: tables_.SetBorderTarget(TRtfBorderTarget::Row, rrRight); break;
    case bwRowInsideH: tables_.SetBorderTarget(TRtfBorderTarget::Row, rrInsideH); break;
    case bwRowInsideV: tables_.SetBorderTarget(TRtfBorderTarget::Row, rrInsideV); break;
    case bwOther: tables_.SetBorderTarget(TRtfBorderTarget::None); break;
    case bwSolid: tables_.SetBorderStyle(Style::BorderStyle_Solid); break;
    case bwThick: tables_.SetBorderThick(); break;
    case bwDouble: tables_.SetBorderStyle(Style::BorderStyle_Double); break;
    case bwDotted: tables_.SetBorderStyle(Style::BorderStyle_Dotted); break;
    case bwDashed: tables_.SetBorderStyle(Style::BorderStyle_Dashed); break;
    case bwDotDash: tables_.SetBorderStyle(Style::BorderStyle_DotDash); break;
    case bwDotDotDash: tables_.SetBorderStyle(Style::BorderStyle_DotDotDash); break;
    case bwInset: tables_.SetBorderStyle(Style::BorderStyle_Inset); break;
    case bwOutset: tables_.SetBorderStyle(Style::BorderStyle_Outset); break;
    case bwGroove: tables_.SetBorderStyle(Style::BorderStyle_Groove); break;
    case bwRidge: tables_.SetBorderStyle(Style::BorderStyle_Ridge); break;
    case bwNone: tables_.SetBorderStyle(Style::BorderStyle_None); break;
    case bwWidth: tables_.SetBorderWidth(value); break;
    case bwColour: tables_.SetBorderColour(colours_.value(value)); break;
    }
}

void TRtfReaderImpl::PaddingWord(const TRtfToken& token, int which)
{
    if (!InText())
        return;
    RouteTableWord();
    const int value = token.hasParameter ? token.parameter : 0;
    const int side = which & 3;
    switch (which & ~3) {
    case pwCell: tables_.SetCellPadding(side, value); break;
    case pwCellUnit: tables_.SetCellPaddingUnit(side, value); break;
    case pwRow: tables_.SetRowPadding(side, value); break;
    case pwRowUnit: tables_.SetRowPaddingUnit(side, value); break;
    }
}

void TRtfReaderImpl::InTable(const TRtfToken& token, int which)
{
    TRtfParaState& para = Current().para;
    if (which == itMark)
        para.inTable = true;
    else
        para.level = token.hasParameter ? std::clamp(token.parameter, 0, 1000) : 0;
}

void TRtfReaderImpl::NestTableProps(const TRtfToken&, int)
{
    Current().nestedTableProps = true;
}

// Moves the cursor where the coming text belongs: into the current cell of
// the table of the paragraph's level (starting tables, nested ones or rows
// when needed), or after the tables.
void TRtfReaderImpl::SyncTable(int level)
{
    if (!InText())
        return;
    SyncTableTo(level >= 0 ? level : ParagraphLevel(Current().para));
}

void TRtfReaderImpl::SyncTableTo(int level)
{
    if (syncingTable_ || !tables_.NeedsMove(level))
        return;
    syncingTable_ = true;
    FlushPendingBytes();
    CloseLink();
    FlushRun();
    tables_.SyncTo(level);
    syncingTable_ = false;
}

void TRtfReaderImpl::Cell(const TRtfToken&, int nested)
{
    if (!InText())
        return;
    const int paragraphLevel = ParagraphLevel(Current().para);
    if (!tables_.InTable() && !tables_.Claims(paragraphLevel)) {
        Special({}, '\t'); // a cell mark in ordinary text
        return;
    }
    const int level = nested ? std::max(2, paragraphLevel) : 1;
    SyncTable(level);
    FlushPendingBytes();
    CloseLink();
    FlushRun();
    if (!tables_.InTable()) { // past the table bounds: cells read as tabs
        Special({}, '\t');
        return;
    }
    cursor_.setBlockFormat(BlockFormat(Current().para));
    if (!tables_.EndCell(level))
        Special({}, '\t'); // a cell beyond the column or depth bound joins the last one
}

void TRtfReaderImpl::Row(const TRtfToken&, int nested)
{
    if (!InText())
        return;
    FlushPendingBytes();
    CloseLink();
    FlushRun();
    const int level = nested ? std::max(2, ParagraphLevel(Current().para)) : 1;
    if (!tables_.EndRow(level))
        EndParagraph(); // no table: the row is a paragraph
}

// ---- drawing shapes ---------------------------------------------------------------------

void TRtfReaderImpl::ShapeWord(const TRtfToken& token, int which)
{
    TRtfGroup& group = Current();
    const int value = token.hasParameter ? token.parameter : 0;
    switch (which) {
    case swShape:
        if (group.destination != TRtfDestination::Text && group.destination != TRtfDestination::Shape)
            return;
        group.ownsShape = true;
        shapeShown_ = false;
        shapeExtent_ = {};
        break;
    case swInstance:
        if (group.destination != TRtfDestination::Text && group.destination != TRtfDestination::Shape) {
            SkipCurrentGroup();
            return;
        }
        FlushPendingBytes();
        group.destination = TRtfDestination::Shape;
        break;
    case swName:
        if (group.destination != TRtfDestination::Shape)
            return;
        group.destination = TRtfDestination::ShapePropertyName;
        shapePropertyName_.clear();
        break;
    case swValue:
        // Only a picture shape's picture shows; other properties are skipped.
        if (group.destination == TRtfDestination::Shape &&
            shapePropertyName_.trimmed().compare(u"pib", Qt::CaseInsensitive) != 0)
            SkipCurrentGroup();
        break;
    case swText:
        if (group.destination != TRtfDestination::Shape && group.destination != TRtfDestination::Text) {
            SkipCurrentGroup();
            return;
        }
        group.destination = TRtfDestination::Text;
        shapeShown_ = true;
        break;
    case swResult:
        if (shapeShown_ || group.destination != TRtfDestination::Text) {
            SkipCurrentGroup();
            return;
        }
        break;
    case swLeft: shapeExtent_.setLeft(value); break;
    case swTop: shapeExtent_.setTop(value); break;
    case swRight: shapeExtent_.setRight(value); break;
    case swBottom: shapeExtent_.setBottom(value); break;
    }
}

// ---- breaks and special characters ------------------------------------------------

void TRtfReaderImpl::Paragraph(const TRtfToken&, int)
{
    if (InText())
        EndParagraph();
}

void TRtfReaderImpl::Special(const TRtfToken&, int character)
{
    DestinationText(QString(QChar(char16_t(character))));
}

} // namespace tomeric
