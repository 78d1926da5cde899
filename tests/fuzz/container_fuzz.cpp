// libFuzzer entry point for the container reader: the input is a whole
// container file. It is opened, every entry is extracted into a temporary
// folder (names that would leave it are refused by the extractor), and the
// publication text is read. Build and run it with `scripts/fuzz container`.

#include "fuzz_support.h"

#include "package/package.h"
#include "package/package_unpacker.h"
#include "publication/publication_reader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tomeric;
    fuzz::EnsureApplication();
    static QTemporaryDir folder;
    const QString containerPath = folder.filePath(QStringLiteral("input.exe"));
    {
        QFile file(containerPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(fuzz::Bytes(data, size));
    }
    TPackage package;
    if (package.Open(containerPath) == 0) {
        const QString out = folder.filePath(QStringLiteral("out"));
        ExtractAllEntries(package, out);
        QDir(out).removeRecursively();
        TPublication publication;
        (void)ReadPublication(package, publication);
    }
    package.Close(false);
    return 0;
}
