// Reading "RUNTIME.PUB" from a package: raw and compressed entries,
// progress, failures, the screen-saver values and hostile input.

#include "publication/publication_reader.h"

#include "package/package.h"
#include "package/package_writer.h"
#include "platform/string_table.h"
#include "publication_test_support.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tomeric {
namespace {

// A sizeable text: several chunks, settings, pages and objects.
QByteArray SampleText(int pages = 40) {
    QByteArray text = "TITLE=Sample\r\nSTARTUPACTION=SetVar \"[a]\" \"1\"\xB6GotoPage \"P2\"\r\n"
                      "MASTERPAGE\r\nOBJECTTYPE=8\r\nTEXT=Footer\r\n";
    for (int p = 1; p <= pages; ++p) {
        text += "NEWPAGE=P" + QByteArray::number(p) + "\r\nPAGECOLOR=" + QByteArray::number(p) + "\r\n";
        for (int o = 0; o < 10; ++o) {
            text += "OBJECTTYPE=3\r\nNAME=B" + QByteArray::number(o) + "\r\nX=" +
                    QByteArray::number(o * 10) + "\r\nTEXT=Button " + QByteArray::number(o) + "\r\n";
        }
    }
    return text;
}

class PackagedText : public ::testing::Test {
protected:
    QString Write(const QByteArray& text, TCompression compression,
                  TApplicationKind kind = TApplicationKind::akWindow) {
        PackageWriter writer;
        writer.SetCompression(compression);
        writer.SetApplicationKind(kind);
        writer.AddFile(QStringLiteral("logo.png"), QByteArray("not really a picture"));
        writer.AddFile(kPublicationEntryName, text);
        const QString path = folder_.filePath(QStringLiteral("pub.tpk"));
        QString error;
        EXPECT_TRUE(writer.WriteTo(path, {}, &error)) << error.toStdString();
        return path;
    }

    TReadResult Read(const QString& path, TPublication& pub, const TReadOptions& options = {}) {
        EXPECT_EQ(package_.Open(path), kPackageOk);
        return ReadPublication(package_, pub, options);
    }

    QTemporaryDir folder_;
    TPackage package_;
};

TEST_F(PackagedText, CompressedAndRawEntriesReadTheSame) {
    const QByteArray text = SampleText();
    TPublication fromRaw, fromZlib;
    ASSERT_TRUE(Read(Write(text, TCompression::cmNever), fromRaw).ok);
    package_.Close(false);
    ASSERT_TRUE(Read(Write(text, TCompression::cmAlways), fromZlib).ok);
    const TPublication expected = ParsePublicationText(text);
    for (const TPublication* pub : {&fromRaw, &fromZlib}) {
        EXPECT_EQ(pub->settings.title, QStringLiteral("Sample"));
        EXPECT_EQ(pub->settings.startupAction, QStringLiteral("SetVar \"[a]\" \"1\"\r\nGotoPage \"P2\""));
        ASSERT_EQ(pub->pages.size(), expected.pages.size());
        EXPECT_EQ(pub->pages.back().objects.size(), 10u);
        EXPECT_EQ(pub->pages[0].objects.size(), 1u);
    }
}

TEST_F(PackagedText, ReadingHidesTheEntryFromLaterLookups) {
    TPublication pub;
    ASSERT_TRUE(Read(Write(SampleText(2), TCompression::cmAlways), pub).ok);
    EXPECT_TRUE(package_.PublicationRead());
    EXPECT_EQ(package_.FindEmbedded(kPublicationEntryName), nullptr);
}

TEST_F(PackagedText, ProgressGrowsChunkByChunkAndEndsAtTheTotal) {
    for (TCompression compression : {TCompression::cmNever, TCompression::cmAlways}) {
        const QByteArray text = SampleText();
        std::vector<std::pair<std::int64_t, std::int64_t>> calls;
        TReadOptions options;
        options.progress = [&](std::int64_t done, std::int64_t total) { calls.emplace_back(done, total); };
        TPublication pub;
        ASSERT_TRUE(Read(Write(text, compression), pub, options).ok);
        package_.Close(false);
        ASSERT_EQ(calls.size(), std::size_t((text.size() + 2047) / 2048));
        std::int64_t previous = 0;
        for (const auto& [done, total] : calls) {
            EXPECT_EQ(total, text.size());
            EXPECT_GT(done, previous);
            EXPECT_LE(done - previous, kPublicationChunkSize);
            previous = done;
        }
        EXPECT_EQ(previous, text.size());
        EXPECT_EQ(ProgressPercent(calls.back().first, calls.back().second), 100);
    }
}

TEST(Progress, PercentIsRounded) {
    EXPECT_EQ(ProgressPercent(0, 200), 0);
    EXPECT_EQ(ProgressPercent(1, 200), 1); // 0.5 rounds up
    EXPECT_EQ(ProgressPercent(2, 3), 67);
    EXPECT_EQ(ProgressPercent(0, 0), 100);
}

TEST_F(PackagedText, MissingEntryIsAnOpenFailure) {
    PackageWriter writer;
    writer.AddFile(QStringLiteral("other.txt"), "x");
    const QString path = folder_.filePath(QStringLiteral("empty.tpk"));
    ASSERT_TRUE(writer.WriteTo(path));
    TPublication pub;
    const TReadResult result = Read(path, pub);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errorText, QStringLiteral("Impossible d'ouvrir le fichier RUNTIME.PUB"));
    EXPECT_FALSE(package_.PublicationRead());
}

TEST_F(PackagedText, DamagedCompressedDataIsADiskReadError) {
    const QString path = Write(SampleText(), TCompression::cmAlways);
    ASSERT_EQ(package_.Open(path), kPackageOk);
    const TEmbeddedEntry entry = *package_.FindEmbedded(kPublicationEntryName);
    package_.Close(false);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(entry.offset + entry.storedSize / 3);
    file.write(QByteArray(entry.storedSize / 3, '\x5A'));
    file.close();

    TPublication pub;
    pub.settings.title = QStringLiteral("untouched");
    const TReadResult result = Read(path, pub);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errorText, Message(msgDiskReadError));
    EXPECT_EQ(pub.settings.title, QStringLiteral("untouched"));
}

// The stream's header and its closing checksum are checked as zlib checks
// them: any damage to them fails the read as damaged data.
TEST_F(PackagedText, ADamagedStreamHeaderOrChecksumIsADiskReadError) {
    struct TDamage {
        const char* what;
        qsizetype at; // from the entry's start; negative: from its end
        QByteArray bytes; // empty: the byte there inverted
    };
    const TDamage damages[] = {
        {"check bits", 1, "\x9D"},
        {"not deflate", 0, "\x79\xDA"}, // 0x79DA is a multiple of 31
        {"preset dictionary", 0, "\x78\xBB"},
        {"checksum", -1, {}},
    };
    const QByteArray text = SampleText(60); // several blocks of stored bytes
    for (const TDamage& damage : damages) {
        const QString path = Write(text, TCompression::cmAlways);
        ASSERT_EQ(package_.Open(path), kPackageOk);
        const TEmbeddedEntry entry = *package_.FindEmbedded(kPublicationEntryName);
        package_.Close(false);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const qsizetype at = damage.at >= 0 ? damage.at : entry.storedSize + damage.at;
        file.seek(entry.offset + at);
        QByteArray bytes = damage.bytes.isEmpty() ? QByteArray(1, char(~file.peek(1)[0])) : damage.bytes;
        ASSERT_NE(file.peek(bytes.size()), bytes) << damage.what;
        file.write(bytes);
        file.close();

        TPublication pub;
        const TReadResult result = Read(path, pub);
        EXPECT_FALSE(result.ok) << damage.what;
        EXPECT_EQ(result.errorText, Message(msgDiskReadError)) << damage.what;
        package_.Close(false);
    }
}

TEST_F(PackagedText, AnOversizedTextIsRefusedAsLackOfMemory) {
    TReadOptions options;
    options.maxTextSize = 100;
    TPublication pub;
    const TReadResult result = Read(Write(SampleText(2), TCompression::cmAlways), pub, options);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errorText, Message(msgOutOfMemory));
}

TEST_F(PackagedText, TrayMenuIsReadForTrayApplications) {
    const QByteArray text = "TRAYMENUBEGIN\r\nMENUNAME=Show\r\nMENUEND\r\n";
    TPublication window, tray;
    ASSERT_TRUE(Read(Write(text, TCompression::cmNever), window).ok);
    package_.Close(false);
    ASSERT_TRUE(Read(Write(text, TCompression::cmNever, TApplicationKind::akTray), tray).ok);
    EXPECT_FALSE(window.trayMenu.has_value());
    ASSERT_TRUE(tray.trayMenu.has_value());
    EXPECT_EQ(tray.trayMenu->size(), 1u);
}

// ---- screen-saver values ----------------------------------------------------------------

struct ForcedCase {
    TScreenSaverMode mode;
    int windowStyle, windowOrder, windowProps;
    bool noCtrlAltDel;
};

class ScreenSaverValues : public ::testing::TestWithParam<ForcedCase> {};

TEST_P(ScreenSaverValues, OverrideTheText) {
    TPublicationSettings s = testing::Parse({"WINDOWSTYLE=2", "WINDOWORDER=2", "WINDOWPROPS=7",
                                             "NOCTRLALTDEL=No"}).settings;
    ApplyScreenSaverForcedValues(s, GetParam().mode);
    EXPECT_EQ(s.windowStyle, GetParam().windowStyle);
    EXPECT_EQ(s.windowOrder, GetParam().windowOrder);
    EXPECT_EQ(s.windowProps, GetParam().windowProps);
    EXPECT_EQ(s.noCtrlAltDel, GetParam().noCtrlAltDel);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ScreenSaverValues,
    ::testing::Values(ForcedCase{TScreenSaverMode::ssNone, 2, 2, 7, false},
                      ForcedCase{TScreenSaverMode::ssRun, 1, 1, 7, true},
                      ForcedCase{TScreenSaverMode::ssConfigure, 0, 2, 13, false},
                      ForcedCase{TScreenSaverMode::ssConfigureNoParent, 0, 2, 13, false}));

TEST_F(PackagedText, ReadPublicationAppliesTheRunMode) {
    TReadOptions options;
    options.screenSaverMode = TScreenSaverMode::ssRun;
    TPublication pub;
    ASSERT_TRUE(Read(Write("WINDOWSTYLE=0\r\nWINDOWORDER=0\r\n", TCompression::cmNever), pub, options).ok);
    EXPECT_EQ(pub.settings.windowStyle, 1);
    EXPECT_EQ(pub.settings.windowOrder, 1);
    EXPECT_TRUE(pub.settings.noCtrlAltDel);
}

// ---- hostile input ------------------------------------------------------------------------

QByteArray RandomBytes(QRandomGenerator& random, int size, bool textLike) {
    static const QByteArray pieces[] = {"\r\n", "=", "OBJECTTYPE=", "GROUPBEGIN", "GROUPEND",
                                        "CONTAINERBEGIN", "NEWPAGE=", "MENUBEGIN", "MENUNAME=",
                                        "MENUEND", "Y2=", "PAGEPALETTE=", "1 2 3 ", "\xB6", "21",
                                        "20", "MASTERPAGE", "X=", "VARNAME=[[", "TEXT="};
    QByteArray bytes;
    while (bytes.size() < size) {
        if (textLike) bytes += pieces[random.bounded(int(std::size(pieces)))];
        else bytes += char(random.bounded(256));
    }
    return bytes;
}

TEST(HostileText, RandomBytesNeverCrashTheReader) {
    QRandomGenerator random(20261208);
    for (int round = 0; round < 200; ++round) {
        const bool textLike = round % 2 == 0;
        const QByteArray bytes = RandomBytes(random, 1 + random.bounded(20000), textLike);
        const TPublication pub = ParsePublicationText(bytes);
        EXPECT_GE(pub.pages.size(), 1u);
        // Truncated at any point, it still reads.
        ParsePublicationText(bytes.first(random.bounded(int(bytes.size()))));
    }
}

TEST_F(PackagedText, RandomTextThroughThePackageReadsOrFailsCleanly) {
    QRandomGenerator random(7);
    for (int round = 0; round < 10; ++round) {
        TPublication pub;
        const TReadResult result =
            Read(Write(RandomBytes(random, 50000, round % 2 == 0), TCompression::cmAlways), pub);
        EXPECT_TRUE(result.ok);
        package_.Close(false);
    }
}

} // namespace
} // namespace tomeric
