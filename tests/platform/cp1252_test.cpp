#include "platform/cp1252.h"

#include <gtest/gtest.h>

using namespace tomeric;

TEST(Windows1252, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(EncodeWindows1252(DecodeWindows1252(all)), all);
}

// Runs of ASCII are widened in blocks; whatever lengths and positions the
// high bytes take, the text is the characters of its bytes one by one.
TEST(Windows1252, LongTextsDecodeAsTheirBytesOneByOne) {
    const QByteArray pattern = QByteArray("Caption of object 12 on page 3, ") + "\x80\xB6\xE9\x9F\xFF";
    for (int length = 0; length <= 80; ++length) {
        for (int offset = 0; offset < pattern.size(); ++offset) {
            QByteArray bytes;
            for (int i = 0; i < length; ++i)
                bytes.append(pattern[(offset + i) % pattern.size()]);
            QString expected;
            for (const char b : bytes)
                expected += DecodeWindows1252(QByteArray(1, b));
            ASSERT_EQ(DecodeWindows1252(bytes), expected) << length << " " << offset;
        }
    }
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
