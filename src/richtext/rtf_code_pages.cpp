#include "richtext/rtf_code_pages.h"

#include "platform/cp1252.h"

#include <QStringDecoder>

#include <optional>

namespace tomeric {
namespace {

struct CharsetCodePage {
    int charset;
    int codePage;
};

// Windows' character sets and the code page each one stands for.
constexpr CharsetCodePage kCharsets[] = {
    {0, 0},      {1, 0},      {2, kSymbolCodePage},  {77, 10000}, {128, 932},  {129, 949},
    {130, 1361}, {134, 936},  {136, 950}, {161, 1253}, {162, 1254}, {163, 1258},
    {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250},
    {255, 437},
};

struct CodePageName {
    int codePage;
    const char* name;
};

constexpr CodePageName kCodePageNames[] = {
    {437, "IBM437"},        {850, "IBM850"},        {874, "windows-874"},  {932, "Shift_JIS"},
    {936, "GBK"},           {949, "windows-949"},   {950, "Big5"},         {1250, "windows-1250"},
    {1251, "windows-1251"}, {1253, "windows-1253"}, {1254, "windows-1254"}, {1255, "windows-1255"},
    {1256, "windows-1256"}, {1257, "windows-1257"}, {1258, "windows-1258"}, {1361, "x-Johab"},
    {10000, "macintosh"},   {65001, "UTF-8"},
};

// The Symbol font's letters and signs with their Unicode characters; other
// bytes of the font stay as Windows-1252 characters.
constexpr char16_t kSymbolGreekUpper[] = u"ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ";
constexpr char16_t kSymbolGreekLower[] = u"αβχδεφγηιϕκλμνοπθρστυϖωξψζ";

struct SymbolSign {
    unsigned char byte;
    char16_t character;
};

constexpr SymbolSign kSymbolSigns[] = {
    {0x22, u'∀'}, {0x24, u'∃'}, {0x27, u'∋'}, {0x2A, u'∗'}, {0x2D, u'−'}, {0x40, u'≅'},
    {0x5C, u'∴'}, {0x5E, u'⊥'}, {0x7E, u'∼'}, {0xA1, u'ϒ'}, {0xA2, u'′'}, {0xA3, u'≤'},
    {0xA4, u'⁄'}, {0xA5, u'∞'}, {0xA6, u'ƒ'}, {0xA7, u'♣'}, {0xA8, u'♦'}, {0xA9, u'♥'},
    {0xAA, u'♠'}, {0xAB, u'↔'}, {0xAC, u'←'}, {0xAD, u'↑'}, {0xAE, u'→'}, {0xAF, u'↓'},
    {0xB0, u'°'}, {0xB1, u'±'}, {0xB2, u'″'}, {0xB3, u'≥'}, {0xB4, u'×'}, {0xB5, u'∝'},
    {0xB6, u'∂'}, {0xB7, u'•'}, {0xB8, u'÷'}, {0xB9, u'≠'}, {0xBA, u'≡'}, {0xBB, u'≈'},
    {0xBC, u'…'}, {0xC4, u'⊗'}, {0xC5, u'⊕'}, {0xC6, u'∅'}, {0xC7, u'∩'}, {0xC8, u'∪'},
    {0xD1, u'∇'}, {0xD2, u'®'}, {0xD3, u'©'}, {0xD4, u'™'}, {0xD5, u'∏'}, {0xD6, u'√'},
    {0xD7, u'⋅'}, {0xD8, u'¬'}, {0xD9, u'∧'}, {0xDA, u'∨'}, {0xDB, u'⇔'}, {0xDC, u'⇐'},
    {0xDD, u'⇑'}, {0xDE, u'⇒'}, {0xDF, u'⇓'}, {0xE0, u'◊'}, {0xE5, u'∑'}, {0xF2, u'∫'},
};

QString DecodeSymbol(QByteArrayView bytes)
{
    QString text = DecodeWindows1252(bytes);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 'A' && byte <= 'Z')
            text[i] = QChar(kSymbolGreekUpper[byte - 'A']);
        else if (byte >= 'a' && byte <= 'z')
            text[i] = QChar(kSymbolGreekLower[byte - 'a']);
        for (const SymbolSign& sign : kSymbolSigns)
            if (sign.byte == byte)
                text[i] = QChar(sign.character);
    }
    return text;
}

const char* NameOfCodePage(int codePage)
{
    for (const CodePageName& entry : kCodePageNames)
        if (entry.codePage == codePage)
            return entry.name;
    return nullptr;
}

} // namespace

int CodePageOfCharset(int charset)
{
    for (const CharsetCodePage& entry : kCharsets)
        if (entry.charset == charset)
            return entry.codePage;
    return 0;
}

bool IsSingleByteCodePage(int codePage)
{
    return codePage != 932 && codePage != 936 && codePage != 949 && codePage != 950 &&
           codePage != 1361 && codePage != 65001;
}

QString DecodeCodePage(QByteArrayView bytes, int codePage)
{
    if (codePage == 1252 || codePage == 0)
        return DecodeWindows1252(bytes);
    if (codePage == kSymbolCodePage)
        return DecodeSymbol(bytes);
    if (const char* name = NameOfCodePage(codePage)) {
        QStringDecoder decoder(name);
        if (decoder.isValid()) {
            QString text = decoder.decode(bytes);
            if (!decoder.hasError())
                return text;
        }
    }
    return DecodeWindows1252(bytes);
}

} // namespace tomeric
