// libFuzzer entry point for the rich-text engine. Not part of the test
// executable (it lives in its own folder); build it with clang, from the
// repository root:
//
//   clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -Isrc \
//     $(pkg-config --cflags Qt6Gui) tests/richtext/fuzz/rtf_fuzz.cpp src/richtext/*.cpp \
//     src/imaging/windows_fonts.cpp src/platform/cp1252.cpp $(pkg-config --libs Qt6Gui) \
//     -o rtf_fuzz
//   QT_QPA_PLATFORM=offscreen ./rtf_fuzz -max_len=65536 tests/data/rtf
//
// The first byte chooses what the rest is: odd, caret markup converted to RTF
// (word wrap from bit 1); even, RTF read as it is.

#include "richtext/caret_markup.h"
#include "richtext/rich_text_properties.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void EnsureApplication()
{
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "rtf_fuzz";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tomeric;
    if (size == 0)
        return 0;
    EnsureApplication();
    const std::uint8_t mode = data[0];
    QByteArray input(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if (mode & 1)
        input = CaretMarkupToRtf(input, {bool(mode & 2)});
    QTextDocument document;
    ReadRtf(input, document);
    // What was read writes out as RTF that reads back completely.
    QTextDocument copy;
    if (!ReadRtf(WriteRtf(document), copy))
        std::abort();
    const int end = document.characterCount() - 1;
    for (int position = 0; position < end; position += 5)
        (void)LinkAt(document, position);
    for (const QString& name : Bookmarks(document))
        (void)BookmarkPosition(document, name);
    CreateVariableFields(document, [](const QString& name) { return name.left(2); });
    RefreshVariableFields(document, [](const QString& name) { return name; }, QStringLiteral("A"));
    (void)VisiblePlainText(document, 0, end);
    return 0;
}
