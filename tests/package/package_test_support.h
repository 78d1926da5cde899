#pragma once
// Helpers shared by the package tests: writing packages and raw containers
// into a temporary folder.

#include "package/package.h"
#include "package/package_format.h"
#include "package/package_writer.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tomeric::testing {

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// A package alone (P = 0) written to `folder`/`name`; returns the path.
inline QString WritePackage(const PackageWriter& writer, const QTemporaryDir& folder,
                            const QString& name = QStringLiteral("pub.exe")) {
    const QString path = folder.filePath(name);
    QString error;
    EXPECT_TRUE(writer.WriteTo(path, {}, &error)) << error.toStdString();
    return path;
}

// A container made by hand: `prefix` bytes, then the package block with the
// given D and directory stream, then P. Lets tests write any lie they like.
inline QByteArray RawContainer(const QByteArray& prefix, std::int32_t declaredSize,
                               const QByteArray& directoryStream,
                               std::optional<std::int32_t> tailOffset = std::nullopt) {
    QByteArray bytes = prefix;
    const auto packageStart = std::int32_t(bytes.size());
    bytes.append(QByteArray(package_format::kReservedSize, '\0'));
    package_format::AppendInt32(bytes, declaredSize);
    bytes.append(directoryStream);
    package_format::AppendInt32(bytes, tailOffset.value_or(packageStart));
    return bytes;
}

// The directory of a plain window publication, followed by `entries`.
inline QByteArray WindowDirectory(const QByteArray& entries = {}) {
    QByteArray directory;
    package_format::AppendInt32(directory, 0);
    package_format::AppendUInt8(directory, 0); // normal run
    package_format::AppendUInt8(directory, 0); // window
    package_format::AppendUInt8(directory, 0); // single instance
    package_format::AppendUInt8(directory, 0); // display mode unchanged
    package_format::AppendStr16Bytes(directory, {});
    directory.append(entries);
    return directory;
}

inline QByteArray EntryRecord(const QByteArray& name, std::uint8_t kind, std::int32_t unpacked,
                              std::int32_t offset, std::int32_t stored) {
    QByteArray record;
    package_format::AppendStr16Bytes(record, name);
    package_format::AppendUInt8(record, kind);
    package_format::AppendInt32(record, unpacked);
    package_format::AppendInt32(record, offset);
    package_format::AppendInt32(record, stored);
    return record;
}

} // namespace tomeric::testing
