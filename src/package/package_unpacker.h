#pragma once
// Writing every entry of a package into a folder ("tomeric-pack extract").
// Entry names come from the container, which may be hostile: no name may
// lead outside the destination folder.

#include "package/package.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tomeric {

// The path, relative to the destination and with "/" separators, where an
// entry of this name is written: "\" and "/" make subfolders, the prefix
// "embedded:\\\" becomes the folder "embedded". No value for names that are
// empty, absolute, start with a drive letter or contain a ".." component.
std::optional<QString> SafeExtractionPath(const QString& entryName);

struct TUnpackReport {
    int written = 0;
    QStringList problems; // one line per entry that was skipped or failed
};

TUnpackReport ExtractAllEntries(TPackage& package, const QString& destinationFolder);

} // namespace tomeric
