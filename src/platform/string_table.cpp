#include "platform/string_table.h"

#include <algorithm>
#include <iterator>

namespace tomeric {
namespace {

struct Entry {
    MessageId id;
    const char* text; // UTF-8
};

constexpr Entry kStrings[] = {
#define TOMERIC_MESSAGE_ENTRY(id, number, text) {id, text},
    TOMERIC_MESSAGES(TOMERIC_MESSAGE_ENTRY)
#undef TOMERIC_MESSAGE_ENTRY
};

// Lookups use a binary search.
static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }),
              "the string table must stay sorted by number");

} // namespace

QString Message(MessageId id) {
    const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                     [](const Entry& e, MessageId wanted) { return e.id < wanted; });
    return it != std::end(kStrings) && it->id == id ? QString::fromUtf8(it->text) : QString();
}

QString Message(MessageId id, const QString& argument) {
    QString text = Message(id);
    const qsizetype at = text.indexOf(QLatin1String("%s"));
    if (at >= 0)
        text.replace(at, 2, argument);
    return text;
}

} // namespace tomeric
