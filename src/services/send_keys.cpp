#include "services/send_keys.h"

#include "actions/action_eval.h"

#include <QRegularExpression>

#include <vector>

namespace tomeric {

namespace {

struct TKeyName {
    const char* name;
    int key;
    bool keypad = false;
};

// The key names of braces (upper case).
constexpr TKeyName kKeyNames[] = {
    {"BKSP", Qt::Key_Backspace}, {"BS", Qt::Key_Backspace}, {"BACKSPACE", Qt::Key_Backspace},
    {"BREAK", Qt::Key_Cancel},   {"CAPSLOCK", Qt::Key_CapsLock}, {"CLEAR", Qt::Key_Clear},
    {"DEL", Qt::Key_Delete},     {"DELETE", Qt::Key_Delete},
    {"DOWN", Qt::Key_Down},      {"UP", Qt::Key_Up}, {"LEFT", Qt::Key_Left}, {"RIGHT", Qt::Key_Right},
    {"END", Qt::Key_End},        {"HOME", Qt::Key_Home}, {"ENTER", Qt::Key_Return},
    {"ESC", Qt::Key_Escape},     {"ESCAPE", Qt::Key_Escape},
    {"F1", Qt::Key_F1},   {"F2", Qt::Key_F2},   {"F3", Qt::Key_F3},   {"F4", Qt::Key_F4},
    {"F5", Qt::Key_F5},   {"F6", Qt::Key_F6},   {"F7", Qt::Key_F7},   {"F8", Qt::Key_F8},
    {"F9", Qt::Key_F9},   {"F10", Qt::Key_F10}, {"F11", Qt::Key_F11}, {"F12", Qt::Key_F12},
    {"F13", Qt::Key_F13}, {"F14", Qt::Key_F14}, {"F15", Qt::Key_F15}, {"F16", Qt::Key_F16},
    {"HELP", Qt::Key_Help},      {"INS", Qt::Key_Insert}, {"NUMLOCK", Qt::Key_NumLock},
    {"PGDN", Qt::Key_PageDown},  {"PGUP", Qt::Key_PageUp}, {"PRTSC", Qt::Key_Print},
    {"SCROLLLOCK", Qt::Key_ScrollLock}, {"TAB", Qt::Key_Tab},
    // The numeric keypad's digits.
    {"N0", Qt::Key_0, true}, {"N1", Qt::Key_1, true},
    {"N2", Qt::Key_2, true}, {"N3", Qt::Key_3, true},
    {"N4", Qt::Key_4, true}, {"N5", Qt::Key_5, true},
    {"N6", Qt::Key_6, true}, {"N7", Qt::Key_7, true},
    {"N8", Qt::Key_8, true}, {"N9", Qt::Key_9, true},
};

const TKeyName* KeyNamed(const QString& name)
{
    const QByteArray upper = name.toUpper().toLatin1();
    for (const TKeyName& entry : kKeyNames)
        if (upper == entry.name)
            return &entry;
    return nullptr;
}

int ModifierKey(QChar c)
{
    switch (c.unicode()) {
    case '+': return Qt::Key_Shift;
    case '^': return Qt::Key_Control;
    case '%': return Qt::Key_Alt;
    default: return 0;
    }
}

class TKeyParser {
public:
    explicit TKeyParser(const QString& text) : text_(text) {}

    TKeySequence Run()
    {
        while (i_ < text_.size() && result_.Error == 0)
            Step();
        // Groups left open release at the end.
        while (!groups_.empty()) {
            Release(groups_.back());
            groups_.pop_back();
        }
        return result_;
    }

private:
    void Step()
    {
        const QChar c = text_[i_];
        if (const int modifier = ModifierKey(c)) {
            result_.Strokes.append({TKeyStroke::ksDown, modifier, QChar(), false});
            const bool group = i_ + 1 < text_.size() && text_[i_ + 1] == QLatin1Char('(');
            if (group) {
                groups_.push_back({modifier});
                i_ += 2;
            } else {
                pending_.push_back(modifier);
                ++i_;
            }
            return;
        }
        if (c == QLatin1Char(')') && !groups_.empty()) {
            Release(groups_.back());
            groups_.pop_back();
            ++i_;
            return;
        }
        if (c == QLatin1Char('~')) {
            Tap(Qt::Key_Return, QChar(), 1);
            ++i_;
            return;
        }
        if (c == QLatin1Char('{')) {
            Braces();
            return;
        }
        Tap(0, c, 1);
        ++i_;
    }

    void Braces()
    {
        if (text_.mid(i_, 3) == QLatin1String("{{}") || text_.mid(i_, 3) == QLatin1String("{}}")) {
            Tap(0, text_[i_ + 1], 1);
            i_ += 3;
            return;
        }
        const qsizetype close = text_.indexOf(QLatin1Char('}'), i_ + 1);
        if (close < 0) {
            result_.Error = aeMissingBrace;
            return;
        }
        const QString inside = text_.mid(i_ + 1, close - i_ - 1);
        i_ = close + 1;
        QString name = inside;
        int count = 1;
        static const QRegularExpression repeat(QStringLiteral("^(.+) (\\d+)$"));
        if (const auto match = repeat.match(inside); match.hasMatch() && match.captured(1).size() >= 1) {
            name = match.captured(1);
            count = match.captured(2).toInt();
        }
        if (name.size() == 1) {
            Tap(0, name[0], count);
            return;
        }
        const TKeyName* key = KeyNamed(name);
        if (!key) {
            result_.Error = aeInvalidKey;
            return;
        }
        Tap(key->key, QChar(), count, key->keypad);
    }

    void Tap(int key, QChar character, int count, bool keypad = false)
    {
        for (int n = 0; n < count; ++n)
            result_.Strokes.append({TKeyStroke::ksTap, key, character, keypad});
        Release(pending_);
        pending_.clear();
    }

    void Release(const std::vector<int>& modifiers)
    {
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
            result_.Strokes.append({TKeyStroke::ksUp, *it, QChar(), false});
    }

    const QString& text_;
    qsizetype i_ = 0;
    std::vector<int> pending_;             // released after the next key
    std::vector<std::vector<int>> groups_; // released at their ")"
    TKeySequence result_;
};

} // namespace

QString PrepareSendKeys(const QString& keys)
{
    // Characters outside ASCII stay as they are: they are typed as
    // themselves (Windows typed them as Alt + keypad code, which nothing
    // here understands).
    QString text;
    for (const QChar c : keys) {
        if (QStringLiteral("%()+^").contains(c))
            text += QLatin1Char('{') + c + QLatin1Char('}');
        else
            text += c;
    }
    struct TWord {
        const char* word;
        const char* replacement;
    };
    constexpr TWord kWords[] = {{"{SHIFTDN}", "+("}, {"{SHIFTUP}", ")"}, {"{CTRLDN}", "^("},
                                {"{CTRLUP}", ")"},   {"{ALTDN}", "%("},  {"{ALTUP}", ")"}};
    // Left to right, so that an opening and its closing pair up.
    int open = 0;
    QString result;
    for (qsizetype i = 0; i < text.size();) {
        bool replaced = false;
        for (const TWord& entry : kWords) {
            const QString word = QString::fromLatin1(entry.word);
            if (text.mid(i, word.size()).compare(word, Qt::CaseInsensitive) != 0)
                continue;
            const QString replacement = QString::fromLatin1(entry.replacement);
            if (replacement == QLatin1String(")")) {
                if (open == 0)
                    break; // a closing without opening stays text
                --open;
            } else {
                ++open;
            }
            result += replacement;
            i += word.size();
            replaced = true;
            break;
        }
        if (!replaced)
            result += text[i++];
    }
    result += QString(open, QLatin1Char(')'));
    return result;
}

TKeySequence ParseSendKeys(const QString& preparedKeys)
{
    return TKeyParser(preparedKeys).Run();
}

} // namespace tomeric
