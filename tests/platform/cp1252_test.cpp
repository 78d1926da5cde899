#include "platform/cp1252.h"

#include <gtest/gtest.h>

using namespace tomeric;

TEST(Windows1252, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(EncodeWindows1252(DecodeWindows1252(all)), all);
}

TEST(Windows1252, HighRangeMapsToTypographicCharacters) {
    EXPECT_EQ(DecodeWindows1252("\x80\x93\x94\xB6\xE9"),
              QString::fromUtf8("€“”¶é"));
}

TEST(Windows1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(EncodeWindows1252(QString::fromUtf8("a€ж")), QByteArray("a\x80?"));
    EXPECT_FALSE(IsWindows1252(QString::fromUtf8("ж")));
    EXPECT_TRUE(IsWindows1252(QString::fromUtf8("œ€é")));
}
