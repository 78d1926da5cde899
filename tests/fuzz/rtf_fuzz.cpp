// libFuzzer entry point for the rich-text engine. Build and run it with
// `scripts/fuzz rtf [SECONDS]`.
//
// The first byte chooses what the rest is: odd, caret markup converted to RTF
// (word wrap from bit 1); even, RTF read as it is.

#include "richtext/caret_markup.h"
#include "richtext/rich_text_properties.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

#include "fuzz_support.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tomeric;
    if (size == 0)
        return 0;
    fuzz::EnsureApplication<QGuiApplication>();
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
