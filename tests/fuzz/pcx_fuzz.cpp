// libFuzzer entry point for the PCX picture reader: the header and the
// decoded picture. Build and run it with `scripts/fuzz pcx`.

#include "fuzz_support.h"

#include "imaging/pcx_reader.h"

#include <QGuiApplication>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tomeric;
    fuzz::EnsureApplication<QGuiApplication>();
    const QByteArray bytes = fuzz::Bytes(data, size);
    (void)ReadPcxInfo(bytes);
    (void)DecodePcx(bytes);
    return 0;
}
