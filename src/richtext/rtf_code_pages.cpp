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
    {0, 0},      {1, 0},      {2, 1252},  {77, 10000}, {128, 932},  {129, 949},
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
