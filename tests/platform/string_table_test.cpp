// The string table: every message code names has its text, numbers are
// unique, and "%s" takes one argument.

#include "platform/string_table.h"

#include <gtest/gtest.h>

#include <set>

namespace tomeric {
namespace {

TEST(StringTable, EveryNamedMessageHasItsOwnNumberAndAText)
{
    std::set<int> numbers;
#define TOMERIC_CHECK_MESSAGE(id, number, text)                                 \
    EXPECT_TRUE(numbers.insert(number).second) << #id " repeats number " << number; \
    EXPECT_FALSE(Message(id).isEmpty()) << #id;
    TOMERIC_MESSAGES(TOMERIC_CHECK_MESSAGE)
#undef TOMERIC_CHECK_MESSAGE
    EXPECT_EQ(Message(msgNoSuchObject), QStringLiteral("Cet objet n'existe pas."));
}

TEST(StringTable, TheArgumentReplacesTheFirstPlaceholderOnly)
{
    EXPECT_EQ(Message(msgParameterCount, QStringLiteral("3")), QStringLiteral("Cette action nécessite 3 paramètre(s)."));
    EXPECT_EQ(Message(msgOk, QStringLiteral("ignored")), QStringLiteral("OK"));
}

} // namespace
} // namespace tomeric
