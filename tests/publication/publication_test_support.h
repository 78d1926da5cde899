#pragma once
// Helpers shared by the publication tests: texts are written as lists of
// lines in UTF-8 and encoded the way packages store them.

#include "platform/cp1252.h"
#include "publication/publication_reader.h"

#include <QString>
#include <QStringList>

#include <initializer_list>

namespace tomeric::testing {

// The lines joined with CR LF, in Windows-1252.
inline QByteArray PubText(std::initializer_list<const char*> lines) {
    QStringList list;
    for (const char* line : lines) list.append(QString::fromUtf8(line));
    return EncodeWindows1252(list.join(QStringLiteral("\r\n")));
}

inline TPublication Parse(std::initializer_list<const char*> lines, TParseOptions options = {}) {
    return ParsePublicationText(PubText(lines), options);
}

// The first top-level object of page `page`.
inline const TObjectRecord& FirstObject(const TPublication& pub, int page = 1) {
    return pub.pages.at(page).objects.at(0);
}

} // namespace tomeric::testing
