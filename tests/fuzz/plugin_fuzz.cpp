// libFuzzer entry point for the plug-in loader's checks of a library file:
// the input is the file. A file the checks refuse must be refused by the
// loader with the same reason, before the system loader sees it; a file
// they accept is not loaded here, since loading runs the library's own
// code. Build and run it with `scripts/fuzz plugin`.

#include "fuzz_support.h"

#include "extensions/plugins.h"
#include "extensions/shared_library.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tomeric;
    fuzz::EnsureApplication();
    static QTemporaryDir folder;
    const QByteArray bytes = fuzz::Bytes(data, size);
    const TLibraryFileCheck check = CheckLibraryBytes(bytes);
    if (check.kind == TLibraryFileKind::lfLoadable)
        return 0;

    const QString path = folder.filePath(QStringLiteral("fuzz.so"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    file.close();
    const TPlugInLoadResult result = LoadPlugIn(path);
    if (result.loaded || (check.kind != TLibraryFileKind::lfWindows && result.systemError != check.reason))
        std::abort(); // the loader went past a refusal of its checks
    return 0;
}
