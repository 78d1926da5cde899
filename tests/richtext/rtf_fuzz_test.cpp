// Damaged input never crashes or hangs the engine: the sample documents
// (tables and stylesheets among them) and caret-markup articles are mutated
// at random (fixed seeds, so a failure repeats) and every mutant is read,
// queried, written and read back.

#include "richtext/caret_markup.h"
#include "richtext/rich_text_properties.h"
#include "richtext/rtf_writer.h"
#include "rich_text_test_support.h"

#include <QDir>
#include <QElapsedTimer>

#include <random>

namespace tomeric {
namespace {

// Pieces that steer mutants into the reader's special paths.
const char* const kDictionary[] = {
    "{", "}", "\\", "\\'", "\\'8", "\\'e9", "\\u-5", "\\u65535", "\\uc9", "\\bin9999999 ",
    "\\bin2 ", "\\*", "\\field", "\\fldinst", "\\fldrslt", "\\pict", "\\pngblip", "\\dibitmap0",
    "\\wbitmap0", "\\picw99999", "\\pich-1", "\\uldb", "\\v", "\\bkmkstart", "\\fonttbl",
    "\\colortbl", "\\f2147483647", "\\fs-9", "\\fcharset128", "\\fcharset2", "\\ansicpg932",
    "\\par", "\\pard", "\\tx-99999", "\\sl-1", "\\slmult1", " HYPERLINK \\l ", " MERGEFIELD ",
    "[", "]", "[[", "^", "^L", "=", "^l", "^M", "^m", "^F", "^P", "^C", "|", "\"", "\r\n",
    ";", "\\red999", "{\\*\\unknown ", "\\stylesheet", "\\info",
    "\\trowd", "\\cellx", "\\cellx-99999", "\\cellx2147483647", "\\intbl", "\\cell",
    "\\row", "\\itap2", "\\nestcell", "\\nestrow", "{\\*\\nesttableprops", "\\clbrdrt",
    "\\brdrnone", "\\clcbpat1", "\\clshdng-3", "\\clvertalc", "\\trgaph-5", "\\trqc", "\\s1", "\\s-7", "\\cs15", "\\sbasedon1",
    "{\\s1\\sbasedon1\\b x;}", "{\\*\\cs2\\sbasedon3 y;}",
    "\\trowd\\cellx100\\cellx200\\intbl a\\cell b\\cell\\row",
};

class Mutator {
public:
    explicit Mutator(unsigned seed) : random_(seed) {}

    QByteArray Mutate(QByteArray bytes)
    {
        const int steps = 1 + Below(8);
        for (int i = 0; i < steps; ++i)
            Step(bytes);
        return bytes;
    }

private:
    int Below(qsizetype bound) { return bound <= 0 ? 0 : int(random_() % quint64(bound)); }

    void Step(QByteArray& bytes)
    {
        const qsizetype at = Below(bytes.size() + 1);
        switch (Below(6)) {
        case 0: // flip a byte
            if (!bytes.isEmpty())
                bytes[Below(bytes.size())] = char(Below(256));
            break;
        case 1: // insert a piece of RTF or markup
            bytes.insert(at, kDictionary[Below(std::size(kDictionary))]);
            break;
        case 2: // delete a range
            bytes.remove(at, Below(64));
            break;
        case 3: // repeat a range
            bytes.insert(at, bytes.mid(Below(bytes.size()), Below(256)));
            break;
        case 4: // cut the end off
            bytes.truncate(at);
            break;
        default: // random bytes
            for (int n = Below(16); n > 0; --n)
                bytes.insert(at, char(Below(256)));
            break;
        }
    }

    std::mt19937_64 random_;
};

QList<QByteArray> Samples(const char* filter)
{
    QList<QByteArray> samples;
    const QDir folder(QStringLiteral(TOMERIC_TEST_DATA "/rtf"));
    for (const QString& name : folder.entryList({QString::fromLatin1(filter)}, QDir::Files))
        samples.append(testing::ReadTestFile("rtf/" + name));
    return samples;
}

// Whatever was read can be written and read back into the same text (fields
// aside: they go back to their source).
void ExpectRoundTrip(const QTextDocument& document)
{
    QTextDocument copy;
    QString error;
    ASSERT_TRUE(ReadRtf(WriteRtf(document), copy, {}, &error)) << error.toStdString();
    bool hasFields = false;
    for (QTextBlock block = document.begin(); block.isValid() && !hasFields; block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            hasFields = hasFields || it.fragment().charFormat().intProperty(rtpFieldId) != 0;
    if (!hasFields)
        EXPECT_EQ(copy.toRawText(), document.toRawText());
}

// Everything the objects ask of a document, on whatever came out.
void QueryEverything(QTextDocument& document)
{
    ExpectRoundTrip(document);
    const int end = document.characterCount() - 1;
    for (int position = 0; position < end; position += 7)
        (void)LinkAt(document, position);
    (void)Links(document);
    for (const QString& name : Bookmarks(document))
        (void)BookmarkPosition(document, name);
    CreateVariableFields(document, [](const QString& name) { return name.left(3); });
    RefreshVariableFields(document, [](const QString& name) { return name + name; });
    (void)VisiblePlainText(document, 0, end);
}

class RtfFuzz : public testing::RichTextTest {
protected:
    // Runs `iterations` mutants of the samples, or as many as fit in the
    // time budget, whichever comes first.
    template <typename Each>
    void Run(const QList<QByteArray>& samples, unsigned seed, int iterations, Each each)
    {
        ASSERT_FALSE(samples.isEmpty());
        Mutator mutator(seed);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < iterations && timer.elapsed() < 20000; ++i)
            each(mutator.Mutate(samples[i % samples.size()]));
    }
};

TEST_F(RtfFuzz, MutatedDocumentsNeverCrashTheReader)
{
    for (const unsigned seed : {1u, 2u, 3u}) {
        Run(Samples("*.rtf"), seed, 1000, [this](const QByteArray& mutant) {
            SCOPED_TRACE(mutant.toStdString());
            ReadRtf(mutant, document);
            QueryEverything(document);
        });
    }
}

TEST_F(RtfFuzz, ConvertedArticlesAlwaysReadCompletely)
{
    QList<QByteArray> samples = Samples("*.txt");
    samples.append("^B^I^U^X^F12^P3^C^G^c^g^S^T^s^t^L a = b ^l^M m ^m^^\r\n\r\n[Var]");
    Run(samples, 7, 2000, [this](const QByteArray& mutant) {
        for (const bool wrap : {true, false}) {
            QString error;
            const QByteArray rtf = CaretMarkupToRtf(mutant, {wrap});
            ASSERT_TRUE(ReadRtf(rtf, document, {}, &error))
                << error.toStdString() << "\n" << mutant.toHex().toStdString();
            QueryEverything(document);
        }
    });
}

TEST_F(RtfFuzz, RandomBytesAfterTheSignature)
{
    std::mt19937 random(11);
    for (int i = 0; i < 500; ++i) {
        QByteArray bytes("{\\rtf1 ");
        const int length = int(random() % 400);
        for (int n = 0; n < length; ++n)
            bytes.append(char(random() % 256));
        ReadRtf(bytes, document);
        QueryEverything(document);
    }
}

} // namespace
} // namespace tomeric
