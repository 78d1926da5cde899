#include "richtext/caret_markup.h"

#include <QByteArrayView>

#include <algorithm>
#include <vector>

namespace tomeric {
namespace {

constexpr char kHeader[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deflang1033"
    "{\\colortbl\\red0\\green0\\blue0;\\red128\\green0\\blue0;\\red0\\green128\\blue0;"
    "\\red128\\green128\\blue0;\\red0\\green0\\blue128;\\red128\\green0\\blue128;"
    "\\red0\\green128\\blue128;\\red128\\green128\\blue128;\\red192\\green192\\blue192;"
    "\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red0\\green0\\blue255;"
    "\\red255\\green0\\blue255;\\red0\\green255\\blue255;\\red255\\green255\\blue0;"
    "\\red255\\green255\\blue255;}"
    "\\tx1440\\tx2880\\tx4320\\tx5760\\tx7200\\tx8640\\tx10080 ";

// Longer lines are cut while reading, so a file without line ends never
// needs more memory than this per line. The cut adds nothing to the text.
constexpr qsizetype kMaxLine = 32768;

constexpr int kDefaultPoints = 10;
constexpr int kMaxPoints = 1638; // \fs is a 16-bit count of half-points
constexpr int kColourCount = 16;

enum class Align { Left, Centre, Right };
enum class LinkPart { None, Text, Command };

// One line of input and how it ended.
struct Line {
    QByteArrayView text;
    bool endsWithBreak = false;
};

// A number after a code: the longest run of digits, a leading "-" allowed.
struct Number {
    bool present = false;
    long long value = 0;
};

Number ReadNumber(QByteArrayView text, qsizetype& pos)
{
    qsizetype p = pos;
    const bool negative = p < text.size() && text[p] == '-';
    if (negative)
        ++p;
    const qsizetype digitsStart = p;
    long long value = 0;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
        value = std::min<long long>(value * 10 + (text[p] - '0'), 1'000'000'000);
        ++p;
    }
    if (p == digitsStart)
        return {};
    pos = p;
    return {true, negative ? -value : value};
}

class CaretConverter {
public:
    explicit CaretConverter(const TCaretMarkupOptions& options) : options_(options) {}

    QByteArray Convert(QByteArrayView text)
    {
        out_.reserve(text.size() + text.size() / 4 + 1024);
        out_.append(kHeader);
        for (const Line& line : SplitLines(text))
            ConvertLine(line);
        CloseBookmark();
        out_.append('}');
        return out_;
    }

private:
    static std::vector<Line> SplitLines(QByteArrayView text)
    {
        std::vector<Line> lines;
        qsizetype start = 0;
        qsizetype pos = 0;
        while (pos < text.size()) {
            const char c = text[pos];
            if (c == '\r' || c == '\n') {
                lines.push_back({text.sliced(start, pos - start), true});
                pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
                start = pos;
            } else if (pos - start >= kMaxLine && text[pos - 1] != '^') {
                // A code is never split: a trailing caret waits for its letter.
                lines.push_back({text.sliced(start, pos - start), false});
                start = pos;
            } else {
                ++pos;
            }
        }
        if (start < text.size())
            lines.push_back({text.sliced(start), false});
        return lines;
    }

    void ConvertLine(const Line& line)
    {
        lineHasText_ = false;
        if (line.text.isEmpty() && line.endsWithBreak) {
            CloseBookmark();
            WriteParagraphStart();
            out_.append("\\par\r\n");
            EndParagraph();
            return;
        }
        if (atParagraphStart_)
            WriteParagraphStart();
        qsizetype pos = 0;
        while (pos < line.text.size()) {
            const char c = line.text[pos++];
            if (c == '^' && pos < line.text.size())
                Code(line.text, pos);
            else
                Text(c);
        }
        if (!line.endsWithBreak)
            return;
        CloseBookmark();
        if (options_.wordWrap) {
            Text(' ');
        } else {
            out_.append("\\par ");
            EndParagraph();
        }
    }

    void WriteParagraphStart()
    {
        static constexpr const char* kAlign[] = {"\\ql", "\\qc", "\\qr"};
        out_.append(kAlign[int(align_)]);
        out_.append("\\li0\\fi0\\ri0\\sb0\\sl\\sa0 ");
        WritePlainFormatting();
        atParagraphStart_ = false;
    }

    void WritePlainFormatting()
    {
        out_.append("\\plain\\f0\\fs");
        out_.append(QByteArray::number(points_ * 2));
        out_.append(' ');
    }

    // Alignment holds for one paragraph; the next starts left-aligned.
    void EndParagraph()
    {
        atParagraphStart_ = true;
        align_ = Align::Left;
    }

    void Text(char c)
    {
        lineHasText_ = true;
        if (link_ == LinkPart::Text && c == '=') {
            link_ = LinkPart::Command;
            inQuotes_ = false;
            out_.append("\\v ");
            return;
        }
        if (link_ == LinkPart::Command) {
            if (c == '"')
                inQuotes_ = !inQuotes_;
            if (c == '|' && !inQuotes_) {
                out_.append("\\'b6");
                return;
            }
        }
        const bool escape = c == '\\' || c == '{' || c == '}';
        if (escape)
            out_.append('\\');
        out_.append(c);
        if (bookmarkOpen_) {
            if (escape)
                bookmarkName_.append('\\');
            bookmarkName_.append(c);
        }
    }

    void Code(QByteArrayView text, qsizetype& pos)
    {
        const char code = text[pos++];
        switch (code) {
        case 'B': out_.append("\\b "); break;
        case 'b': out_.append("\\b0 "); break;
        case 'I': out_.append("\\i "); break;
        case 'i': out_.append("\\i0 "); break;
        case 'U': out_.append("\\ul "); break;
        case 'u': out_.append("\\ulnone "); break;
        case 'X': out_.append("\\strike "); break;
        case 'x': out_.append("\\strike0 "); break;
        case 'F': FontSize(ReadNumber(text, pos)); break;
        case 'f': FontSize({true, kDefaultPoints}); break;
        case 'P': Colour(ReadNumber(text, pos)); break;
        case 'p': Colour({true, 0}); break;
        case 'C': Alignment(Align::Centre); break;
        case 'G': Alignment(Align::Right); break;
        case 'c':
        case 'g': BackToLeft(); break;
        case 'S':
        case 'T':
        case 's':
        case 't':
            ReadNumber(text, pos);
            lineHasText_ = true;
            out_.append("\\tab ");
            break;
        case 'L':
            link_ = LinkPart::Text;
            out_.append("\\uldb ");
            break;
        case 'l':
            link_ = LinkPart::None;
            WritePlainFormatting();
            break;
        case 'M': OpenBookmark(); break;
        case 'm': CloseBookmark(); break;
        case '^': Text('^'); break;
        default: // not a code: both characters are text
            Text('^');
            Text(code);
            break;
        }
    }

    // A missing, zero or negative size would make the text invisible; such a
    // code is ignored.
    void FontSize(Number number)
    {
        if (!number.present || number.value < 1)
            return;
        points_ = int(std::min<long long>(number.value, kMaxPoints));
        out_.append("\\fs");
        out_.append(QByteArray::number(points_ * 2));
        out_.append(' ');
    }

    // Colours outside the 16-entry table fall back to colour 0.
    void Colour(Number number)
    {
        const long long index =
            number.present && number.value >= 0 && number.value < kColourCount ? number.value : 0;
        out_.append("\\cf");
        out_.append(QByteArray::number(index));
        out_.append(' ');
    }

    void Alignment(Align align)
    {
        align_ = align;
        out_.append(align == Align::Centre ? "\\qc " : "\\qr ");
    }

    // Once text stands on the line, the paragraph keeps its alignment (RTF
    // aligns whole paragraphs) and the next one starts left-aligned anyway.
    void BackToLeft()
    {
        if (lineHasText_)
            return;
        align_ = Align::Left;
        out_.append("\\ql ");
    }

    void OpenBookmark()
    {
        CloseBookmark();
        bookmarkOpen_ = true;
        bookmarkName_.clear();
        out_.append("{\\*\\bkmkstart ");
    }

    void CloseBookmark()
    {
        if (!bookmarkOpen_)
            return;
        bookmarkOpen_ = false;
        out_.append("}{\\*\\bkmkend ");
        out_.append(bookmarkName_);
        out_.append('}');
    }

    const TCaretMarkupOptions& options_;
    QByteArray out_;
    int points_ = kDefaultPoints;
    Align align_ = Align::Left;
    bool atParagraphStart_ = true;
    bool lineHasText_ = false;
    LinkPart link_ = LinkPart::None;
    bool inQuotes_ = false;
    bool bookmarkOpen_ = false;
    QByteArray bookmarkName_;
};

} // namespace

QByteArray CaretMarkupToRtf(const QByteArray& text, const TCaretMarkupOptions& options)
{
    return CaretConverter(options).Convert(text);
}

} // namespace tomeric
