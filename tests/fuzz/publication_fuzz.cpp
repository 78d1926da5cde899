// libFuzzer entry point for the publication-text reader ("RUNTIME.PUB"):
// the input is read whole, then fed again in pieces whose sizes come from
// the input itself, as a stream arrives. Build and run it with
// `scripts/fuzz publication`.

#include "fuzz_support.h"

#include "publication/publication_reader.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tomeric;
    fuzz::EnsureApplication();
    const QByteArray text = fuzz::Bytes(data, size);
    (void)ParsePublicationText(text);

    TPublicationParser parser;
    qsizetype offset = 0;
    while (offset < text.size()) {
        const qsizetype piece =
            std::min<qsizetype>({1 + std::uint8_t(text[offset]) * 7, kPublicationChunkSize, text.size() - offset});
        parser.FeedChunk(QByteArrayView(text).sliced(offset, piece));
        offset += piece;
    }
    (void)parser.Finish();
    return 0;
}
