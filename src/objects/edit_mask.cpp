#include "objects/edit_mask.h"

#include <QLocale>

#include <array>

namespace tomeric {
namespace {

// Input positions: the publication's character, QLineEdit's, and whether
// the position must be filled.
struct TInputChar {
    char16_t ours;
    char16_t qt;
    bool required;
};
constexpr std::array<TInputChar, 9> kInputChars = {{
    {u'L', u'A', true}, {u'l', u'a', false}, {u'A', u'N', true}, {u'a', u'n', false},
    {u'C', u'X', true}, {u'c', u'x', false}, {u'0', u'9', true}, {u'9', u'0', false},
    {u'#', u'#', false},
}};

const TInputChar* FindInputChar(QChar c)
{
    for (const TInputChar& entry : kInputChars)
        if (entry.ours == c.unicode())
            return &entry;
    return nullptr;
}

// Characters QLineEdit reads as mask characters or directives: a literal
// that is one of them must be escaped.
bool IsQtMaskCharacter(QChar c)
{
    static const QString special = QStringLiteral("AaNnXx90Dd#HhBb><!;[]{}\\");
    return special.contains(c);
}

// The position of the first ";" that is not escaped; -1 when none.
qsizetype FieldSeparator(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\')
            ++i;
        else if (text[i] == u';')
            return i;
    }
    return -1;
}

class TMaskBuilder {
public:
    TMaskBuilder(TEditMask& mask, QChar dateSeparator, QChar timeSeparator)
        : mask_(mask), dateSeparator_(dateSeparator), timeSeparator_(timeSeparator) {}

    void Build(const QString& pattern)
    {
        for (qsizetype i = 0; i < pattern.size(); ++i) {
            const QChar c = pattern[i];
            if (c == u'\\') {
                if (i + 1 < pattern.size())
                    AddLiteral(pattern[++i]);
            } else if (c == u'!') {
                mask_.leadingBlanks = true;
            } else if (c == u'<' && i + 1 < pattern.size() && pattern[i + 1] == u'>') {
                qt_ += u'!';
                ++i;
            } else if (c == u'>' || c == u'<') {
                qt_ += c;
            } else if (const TInputChar* input = FindInputChar(c)) {
                qt_ += QChar(input->qt);
                mask_.positions.push_back({false, input->required, QChar()});
            } else if (c == u'/') {
                AddLiteral(dateSeparator_);
            } else if (c == u':') {
                AddLiteral(timeSeparator_);
            } else if (c == u'_') {
                AddLiteral(u' ');
            } else {
                AddLiteral(c);
            }
        }
    }

    QString QtMask() const { return qt_; }

private:
    void AddLiteral(QChar c)
    {
        if (IsQtMaskCharacter(c))
            qt_ += u'\\';
        qt_ += c;
        mask_.positions.push_back({true, false, c});
    }

    TEditMask& mask_;
    QChar dateSeparator_, timeSeparator_;
    QString qt_;
};

// The first character of a locale format that is not a letter or a quote.
QChar FirstSeparator(const QString& format, QChar fallback)
{
    for (const QChar c : format)
        if (!c.isLetter() && c != u'\'' && !c.isSpace())
            return c;
    return fallback;
}

bool Filled(const TEditMask& mask, QChar c) { return c != mask.blank; }

} // namespace

TEditMask ParseEditMask(const QString& text, QChar dateSeparator, QChar timeSeparator)
{
    TEditMask mask;
    const qsizetype separator = FieldSeparator(text);
    const QString pattern = separator < 0 ? text : text.left(separator);
    if (separator >= 0) {
        const QStringList fields = text.mid(separator + 1).split(u';');
        if (!fields.value(0).isEmpty())
            mask.saveLiterals = fields[0][0] != u'0';
        if (fields.size() > 1 && !fields[1].isEmpty())
            mask.blank = fields[1][0];
    }
    TMaskBuilder builder(mask, dateSeparator, timeSeparator);
    builder.Build(pattern);
    bool hasInput = false;
    for (const TMaskPosition& slot : mask.positions)
        hasInput = hasInput || !slot.literal;
    if (!hasInput && mask.positions.empty())
        return TEditMask{};
    mask.qtMask = builder.QtMask() + u';' + mask.blank;
    return mask;
}

QChar LocaleDateSeparator()
{
    return FirstSeparator(QLocale().dateFormat(QLocale::ShortFormat), u'/');
}

QChar LocaleTimeSeparator()
{
    return FirstSeparator(QLocale().timeFormat(QLocale::ShortFormat), u':');
}

QString MaskedValue(const TEditMask& mask, const QString& displayText)
{
    if (!mask.IsMasked())
        return displayText;
    QString value;
    QString run; // consecutive input positions, for the leading-blank rule
    auto flushRun = [&] {
        if (mask.leadingBlanks) {
            const QString filled = QString(run).remove(u' ');
            run = QString(run.size() - filled.size(), u' ') + filled;
        }
        value += run;
        run.clear();
    };
    const qsizetype count = std::min<qsizetype>(displayText.size(), qsizetype(mask.positions.size()));
    for (qsizetype i = 0; i < count; ++i) {
        const TMaskPosition& slot = mask.positions[size_t(i)];
        if (slot.literal) {
            flushRun();
            if (mask.saveLiterals)
                value += slot.character;
        } else {
            run += Filled(mask, displayText[i]) ? displayText[i] : QChar(u' ');
        }
    }
    flushRun();
    return value;
}

bool MaskSatisfied(const TEditMask& mask, const QString& displayText)
{
    if (!mask.IsMasked())
        return true;
    for (size_t i = 0; i < mask.positions.size(); ++i) {
        const TMaskPosition& slot = mask.positions[i];
        if (slot.literal || !slot.required)
            continue;
        if (qsizetype(i) >= displayText.size() || !Filled(mask, displayText[qsizetype(i)]))
            return false;
    }
    return true;
}

} // namespace tomeric
