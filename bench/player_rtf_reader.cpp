// Reading a 1 MB RTF document (the size of a long article with formatting,
// links, accented text and fields) must stay well under a page change; so
// must converting a 1 MB caret-markup article and refreshing the variable
// fields of a long text when one variable changes.

#include "richtext/caret_markup.h"
#include "richtext/rich_text_properties.h"
#include "richtext/rtf_reader.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdlib>

namespace {

constexpr qsizetype kDocumentBytes = 1024 * 1024;

// A WordPad-like document: font and colour tables, then paragraphs mixing
// bold, italic, sizes, colours, \'hh bytes, \u characters, hot-text links,
// bookmarks and fields.
QByteArray MegabyteRtf()
{
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
        "{\\f1\\froman\\fcharset0 Times New Roman;}}{\\colortbl ;\\red255\\green0\\blue0;"
        "\\red0\\green128\\blue0;}\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    for (int paragraph = 0; rtf.size() < kDocumentBytes; ++paragraph) {
        rtf += "\\pard\\li360\\sa120\\tx1440 {\\*\\bkmkstart p" + QByteArray::number(paragraph) +
               "}Paragraphe " + QByteArray::number(paragraph) +
               " : \\b gras\\b0 , \\i italique\\i0 , {\\cf1\\fs28 rouge} et caf\\'e9 \\u8364? ; "
               "{\\uldb\\cf2 lien}{\\v GotoPage \"Page" + QByteArray::number(paragraph % 50) +
               "\"} puis {\\field{\\*\\fldinst MERGEFIELD Nom}{\\fldrslt Nom}} et du texte "
               "ordinaire qui remplit la ligne jusqu'au bout.\\tab Fin.\\par\r\n";
    }
    return rtf + "}";
}

QByteArray MegabyteCaretMarkup()
{
    QByteArray text;
    for (int line = 0; text.size() < kDocumentBytes; ++line)
        text += "Ligne " + QByteArray::number(line) +
                " ^Bgras^b ^Iitalique^i ^F14grand^f ^P9rouge^p ^LLien=GotoPage \"A|B\"^l "
                "^Mm" + QByteArray::number(line) + "^m caf\xe9 ^^ {x}\r\n";
    return text;
}

void BM_ReadRtfOneMegabyte(benchmark::State& state)
{
    const QByteArray rtf = MegabyteRtf();
    for (auto _ : state) {
        QTextDocument document;
        tomeric::ReadRtf(rtf, document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_ReadRtfOneMegabyte)->Unit(benchmark::kMillisecond);

void BM_CaretMarkupToRtfOneMegabyte(benchmark::State& state)
{
    const QByteArray text = MegabyteCaretMarkup();
    for (auto _ : state)
        benchmark::DoNotOptimize(tomeric::CaretMarkupToRtf(text, {}).size());
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_CaretMarkupToRtfOneMegabyte)->Unit(benchmark::kMillisecond);

// One variable changes in a text holding 1000 fields of 10 variables.
void BM_RefreshOneVariableOf1000Fields(benchmark::State& state)
{
    QByteArray rtf = "{\\rtf1 ";
    for (int i = 0; i < 1000; ++i)
        rtf += "Champ [V" + QByteArray::number(i % 10) + "] ; ";
    rtf += "}";
    QTextDocument document;
    tomeric::ReadRtf(rtf, document);
    tomeric::CreateVariableFields(document, [](const QString&) { return QStringLiteral("x"); });
    int round = 0;
    for (auto _ : state) {
        const QString value = QString::number(++round);
        benchmark::DoNotOptimize(tomeric::RefreshVariableFields(
            document, [&](const QString&) { return value; }, QStringLiteral("V3")));
    }
}
BENCHMARK(BM_RefreshOneVariableOf1000Fields)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    // Fonts need a GUI application; no display is needed.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
