// Object commands that change how an object looks or what it shows:
// SetObjectFill, SetObjectLine, SetObjectFont, SetObjectCaption,
// SetObjectFileName, and the colour, font style and character set words
// they read. A value out of range leaves its property as it was; the other
// parameters still apply. Afterwards a visible object on screen is re-shown
// without effect so that the page is recomposed.

#include "objects/object_command_handlers.h"

#include <QStringList>

namespace tomeric {

namespace {

struct TNamedValue {
    const char* name;
    std::int32_t value;
};

// The standard colour identifiers without their "cl" prefix (0x00BBGGRR, or
// a system colour).
constexpr TNamedValue kColourNames[] = {
    {"Black", 0x000000},       {"Maroon", 0x000080},      {"Green", 0x008000},
    {"Olive", 0x008080},       {"Navy", 0x800000},        {"Purple", 0x800080},
    {"Teal", 0x808000},        {"Gray", 0x808080},        {"Silver", 0xC0C0C0},
    {"Red", 0x0000FF},         {"Lime", 0x00FF00},        {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},        {"Fuchsia", 0xFF00FF},     {"Aqua", 0xFFFF00},
    {"LtGray", 0xC0C0C0},      {"DkGray", 0x808080},      {"White", 0xFFFFFF},
    {"MoneyGreen", 0xC0DCC0},  {"SkyBlue", 0xF0CAA6},     {"Cream", 0xF0FBFF},
    {"MedGray", 0xA4A0A0},
    {"ScrollBar", SystemColour(0)},          {"Background", SystemColour(1)},
    {"ActiveCaption", SystemColour(2)},      {"InactiveCaption", SystemColour(3)},
    {"Menu", SystemColour(4)},               {"Window", SystemColour(5)},
    {"WindowFrame", SystemColour(6)},        {"MenuText", SystemColour(7)},
    {"WindowText", SystemColour(8)},         {"CaptionText", SystemColour(9)},
    {"ActiveBorder", SystemColour(10)},      {"InactiveBorder", SystemColour(11)},
    {"AppWorkSpace", SystemColour(12)},      {"Highlight", SystemColour(13)},
    {"HighlightText", SystemColour(14)},     {"BtnFace", SystemColour(15)},
    {"BtnShadow", SystemColour(16)},         {"GrayText", SystemColour(17)},
    {"BtnText", SystemColour(18)},           {"InactiveCaptionText", SystemColour(19)},
    {"BtnHighlight", SystemColour(20)},      {"3DDkShadow", SystemColour(21)},
    {"3DLight", SystemColour(22)},           {"InfoText", SystemColour(23)},
    {"InfoBk", SystemColour(24)},            {"HotLight", SystemColour(26)},
    {"GradientActiveCaption", SystemColour(27)}, {"GradientInactiveCaption", SystemColour(28)},
    {"MenuHighlight", SystemColour(29)},     {"MenuBar", SystemColour(30)},
};

constexpr TNamedValue kCharsets[] = {
    {"ANSI_CHARSET", 0},       {"DEFAULT_CHARSET", 1},     {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},       {"SHIFTJIS_CHARSET", 128},  {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},    {"GB2312_CHARSET", 134},    {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},    {"TURKISH_CHARSET", 162},   {"VIETNAMESE_CHARSET", 163},
    {"HEBREW_CHARSET", 177},   {"ARABIC_CHARSET", 178},    {"BALTIC_CHARSET", 186},
    {"RUSSIAN_CHARSET", 204},  {"THAI_CHARSET", 222},      {"EASTEUROPE_CHARSET", 238},
    {"OEM_CHARSET", 255},
};

template <size_t N>
std::optional<std::int32_t> Lookup(const TNamedValue (&table)[N], const QString& name)
{
    for (const TNamedValue& row : table)
        if (name.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0)
            return row.value;
    return std::nullopt;
}

std::optional<int> Component(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0 || value > 255)
        return std::nullopt;
    return value;
}

// A whole number within [low, high]; nothing otherwise.
std::optional<int> InRange(const QString& text, int low, int high)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::int32_t> ParseCommandColour(const QString& text)
{
    const QString colour = text.trimmed();
    if (colour.isEmpty())
        return std::nullopt;
    if (colour[0].isLetter()) {
        if (auto value = Lookup(kColourNames, colour))
            return value;
        // The full identifier ("clRed") is understood as well.
        if (colour.startsWith(QLatin1String("cl"), Qt::CaseInsensitive))
            return Lookup(kColourNames, colour.mid(2));
        return std::nullopt;
    }
    const QStringList parts = colour.split(u',');
    if (parts.size() != 3)
        return std::nullopt;
    const auto red = Component(parts[0]), green = Component(parts[1]), blue = Component(parts[2]);
    if (!red || !green || !blue)
        return std::nullopt;
    return std::int32_t(*red | (*green << 8) | (*blue << 16));
}

int ParseFontStyleWords(const QString& text)
{
    static constexpr TNamedValue kStyles[] = {{"BOLD", 1}, {"ITALIC", 2}, {"UNDERLINE", 4}, {"STRIKEOUT", 8}};
    int bits = 0;
    for (const TNamedValue& style : kStyles)
        if (text.contains(QLatin1String(style.name), Qt::CaseInsensitive))
            bits |= style.value;
    return bits;
}

int ParseCharset(const QString& text)
{
    const QString name = text.trimmed();
    if (auto value = Lookup(kCharsets, name))
        return *value;
    bool ok = false;
    const int number = name.toInt(&ok);
    return ok && number >= 0 && number <= 255 ? number : 1;
}

void SetObjectFillCommand(TObjectCommandRun& run)
{
    TTomericObj& object = run.Object();
    if (auto colour = ParseCommandColour(run.Param(2)))
        object.SetFillColor(*colour);
    const QString style = run.Param(3).trimmed();
    if (style.compare(QLatin1String("Solid"), Qt::CaseInsensitive) == 0)
        object.SetFillPattern(0);
    else if (style.compare(QLatin1String("Hollow"), Qt::CaseInsensitive) == 0)
        object.SetFillPattern(1);
    else if (auto pattern = InRange(style, 0, 48))
        object.SetFillPattern(*pattern);
    if (auto transparent = ParseTruthWord(run.Param(4)))
        object.SetTransparent(*transparent);
    run.commands.Reshow(run.found);
}

void SetObjectLineCommand(TObjectCommandRun& run)
{
    TTomericObj& object = run.Object();
    if (auto colour = ParseCommandColour(run.Param(2)))
        object.SetLineColor(*colour);
    if (auto width = InRange(run.Param(3), 0, 100))
        object.SetLineWidth(*width);
    if (auto style = InRange(run.Param(4), qxpsSolid, qxpsSunken)) {
        object.SetLineStyle(*style);
        // Dashes and dots are drawn one pixel wide only.
        if (*style >= qxpsDash && *style <= qxpsDashDotDot)
            object.SetLineWidth(1);
    }
    run.commands.Reshow(run.found);
}

void SetObjectFontCommand(TObjectCommandRun& run)
{
    TFontChange change;
    change.color = ParseCommandColour(run.Param(2));
    const QString name = run.Param(3).trimmed();
    const int size = ParseCommandNumber(run.Param(4)).value_or(0);
    const QString style = run.Param(5);
    const QString charset = run.Param(6);
    if (!name.isEmpty() || !style.trimmed().isEmpty() || !charset.trimmed().isEmpty() || size >= 1) {
        if (!name.isEmpty())
            change.name = name;
        if (size >= 1)
            change.size = size;
        change.style = ParseFontStyleWords(style);
        change.charset = ParseCharset(charset);
    }
    run.Object().SetObjectFont(change);
    run.commands.Reshow(run.found);
}

void SetObjectCaptionCommand(TObjectCommandRun& run)
{
    if (!run.Object().SetObjectCaption(run.Param(2))) {
        run.Fail(run.Object().Name(), msgNoCaption);
        return;
    }
    run.commands.Reshow(run.found);
}

void SetObjectFileNameCommand(TObjectCommandRun& run)
{
    if (!run.Object().SetObjectFileName(run.Param(2))) {
        run.Fail(run.Object().Name(), msgNoFileName);
        return;
    }
    run.commands.Reshow(run.found);
}

} // namespace tomeric
