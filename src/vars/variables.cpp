#include "vars/variables.h"

#include "platform/cp1252.h"
#include "platform/string_table.h"
#include "vars/builtin_vars.h"
#include "vars/dates.h"
#include "vars/short_text.h"
#include "vars/text_memo.h"
#include "vars/typed_values.h"

#include <QDateTime>
#include <QVarLengthArray>

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <optional>
#include <vector>

namespace tomeric {
namespace {

// On the heap, so that its look-ups are remembered (TextMemo).
const QString kLastErrorKey = QString::fromLatin1("LastError");

LocalScope*& CurrentScopePointer() {
    static LocalScope* current = nullptr;
    return current;
}

std::vector<VariableObserver*>& Observers() {
    static std::vector<VariableObserver*> observers;
    return observers;
}

template <class F>
void NotifyObservers(F&& f) {
    if (Observers().empty())
        return;
    // observers may detach themselves; the copy stays on the stack
    const QVarLengthArray<VariableObserver*, 8> copy(Observers().begin(), Observers().end());
    for (VariableObserver* observer : copy)
        f(*observer);
}

bool& ShowErrorsFlag() {
    static bool on = true;
    return on;
}

int& SuppressionDepth() {
    static int depth = 0;
    return depth;
}

// The instant every time and date name of the running substitution shows.
// It is read from the clock the first time such a name is looked up, so
// substitutions without time names never ask the clock.
class ClockSnapshot {
public:
    ClockSnapshot() {
        if (Depth()++ == 0)
            Instant().reset();
    }
    ~ClockSnapshot() { --Depth(); }
    ClockSnapshot(const ClockSnapshot&) = delete;
    ClockSnapshot& operator=(const ClockSnapshot&) = delete;

    static const QDateTime& Now() {
        if (!Instant())
            Instant() = QDateTime::currentDateTime();
        return *Instant();
    }

private:
    static int& Depth() {
        static int depth = 0;
        return depth;
    }
    static std::optional<QDateTime>& Instant() {
        static std::optional<QDateTime> instant;
        return instant;
    }
};

bool IsLastErrorKey(QStringView key) {
    return key.size() == kLastErrorKey.size() && key.compare(kLastErrorKey, Qt::CaseInsensitive) == 0;
}

// "[#n]": the character with code n of the 8-bit code page, n clamped to
// 0..255 (non-numbers count as 0).
QString CharacterCode(const QString& digits) {
    bool ok = false;
    int code = digits.toInt(&ok);
    if (!ok)
        code = 0;
    code = std::clamp(code, 0, 255);
    const char byte = static_cast<char>(static_cast<unsigned char>(code));
    return DecodeWindows1252(QByteArrayView(&byte, 1));
}

struct HeldVariable {
    TVarStringList* list = nullptr;
    TVarStringList::Line* line = nullptr;
};

HeldVariable SearchLists(QStringView key) {
    if (TVarStringList* locals = LocalVars())
        if (TVarStringList::Line* line = locals->FindLine(key))
            return {locals, line};
    if (TVarStringList::Line* line = GlobalVars().FindLine(key))
        return {&GlobalVars(), line};
    return {};
}

// The variable a key of a parsed script names, remembered (see TextMemo)
// while no list has gained, lost or moved a line.
struct RememberedLookup {
    std::uint64_t shape = 0;
    HeldVariable held;
};

TextMemo<RememberedLookup>& LookupMemo() {
    static TextMemo<RememberedLookup> memo;
    return memo;
}

// The search and its remembering, kept out of line so that a remembered
// look-up, the usual case in a loop, stays a few instructions.
[[gnu::noinline]] HeldVariable SearchAndRemember(QStringView key, const QString& owner) {
    // Absence is remembered too ([LastError] is looked for before every
    // Math): adding the variable changes the shape.
    const HeldVariable held = SearchLists(key);
    LookupMemo().Remember(key, owner, RememberedLookup{TVarStringList::ShapeVersion(), held});
    return held;
}

// The list and line holding `key`. `owner`, when given, is the text the key
// lies in, and the look-up is remembered.
inline HeldVariable ListHolding(QStringView key, const QString* owner = nullptr) {
    if (!owner)
        return SearchLists(key);
    if (const RememberedLookup* known = LookupMemo().Find(key);
        known && known->shape == TVarStringList::ShapeVersion())
        return known->held;
    return SearchAndRemember(key, *owner);
}

// `owner`, when given, is the text the name lies in (see ListHolding).
QString LookupValue(QStringView name, const QString* owner = nullptr) {
    if (const HeldVariable held = ListHolding(name, owner); held.line)
        return held.line->value;
    const QString key = name.toString();
    if (auto builtin = FindBuiltinVar(key))
        return ReadBuiltinVar(*builtin, IsTimeOrDateVar(*builtin) ? ClockSnapshot::Now() : QDateTime());
    if (name.startsWith(u'#'))
        return CharacterCode(key.mid(1));
    return {};
}

// The name inside "[Name]", "Name" or a half-bracketed "[Name" / "Name]"
// when it holds no further brackets: then the name is its own key and needs
// no substitution. Nothing for anything else.
std::optional<QStringView> PlainName(QStringView name) {
    if (name.startsWith(u'['))
        name = name.mid(1);
    if (name.endsWith(u']'))
        name.chop(1);
    if (HasBracket(name))
        return std::nullopt;
    return name;
}

void BroadcastChange(const QString& key, const QString& value) {
    // A loop writing its counter tells nobody when nobody watches it.
    const auto& observers = Observers();
    if (std::none_of(observers.begin(), observers.end(),
                     [&](const VariableObserver* o) { return o->Watches(key); }))
        return;
    const QString name = BracketedUpper(key);
    NotifyObservers([&](VariableObserver& o) {
        if (o.Watches(key))
            o.VariableChanged(name, value);
    });
}

void ReportLastError(const QString& text) {
    const bool showBox = ShowErrors() && !ErrorDisplaySuppressed();
    NotifyObservers([&](VariableObserver& o) { o.LastErrorSet(text, showBox); });
}

void WriteExisting(const HeldVariable& held, const QString& key, const QString& value) {
    TVarStringList& list = *held.list;
    const QString& stored = held.line->value;
    const TGenericVarInfo* info = held.line->info.get();
    if (!info) {
        if (value.isEmpty()) {
            list.Remove(key);
            BroadcastChange(key, value);
        } else if (value != stored) {
            held.line->value = value;
            BroadcastChange(key, value);
        }
        return;
    }
    if (value == stored)
        return;
    const TypedValue typed = ConvertTypedValue(info->VarType, info->Format, value);
    if (!typed.ok) {
        list.ConversionFailed = true;
        SetLastError(typed.error);
        return;
    }
    list.ConversionFailed = false;
    if (typed.value != stored) {
        list.Set(key, typed.value);
        BroadcastChange(key, typed.value);
    }
}

void WriteBuiltin(BuiltinVar var, const QString& key, const QString& value) {
    if (!BuiltinVarAt(static_cast<int>(var)).writable) {
        SetLastError(Message(msgReadOnlyGlobal) + QStringLiteral(" [") + key + QStringLiteral("]."));
        return;
    }
    const QStringList alsoChanged = WriteBuiltinVar(var, value);
    BroadcastChange(key, value);
    for (const QString& name : alsoChanged)
        NotifyObservers([&](VariableObserver& o) { o.VariableChanged(name, GetVariable(name)); });
}

// The value a variable keeps when its type or format changes.
QString RetypedValue(const QString& value, const TGenericVarInfo* old, TVarType type,
                     const QString& format) {
    if (type == vtUndefined)
        return value;
    if (old && old->VarType == vtDate && type == vtDate) {
        if (auto date = ParseDate(value, old->Format))
            return FormatDateTime(format, QDateTime(*date, QTime(0, 0)));
        return TypeDefault(type, format);
    }
    const TypedValue typed = ConvertTypedValue(type, format, value);
    return typed.ok ? typed.value : TypeDefault(type, format);
}

} // namespace

// ---- lists and scopes --------------------------------------------------------

TVarStringList& GlobalVars() {
    static TVarStringList globals;
    return globals;
}

LocalScope::LocalScope() : saved_(CurrentScopePointer()) {
    CurrentScopePointer() = this;
    TVarStringList::ShapeChanged(); // the caller's locals are out of sight
    NotifyObservers([](VariableObserver& o) { o.LocalScopeChanged(); });
}

LocalScope::LocalScope(BaseTag) : isBase_(true) {}

LocalScope::~LocalScope() {
    if (isBase_)
        return;
    if (CurrentScopePointer() == this)
        CurrentScopePointer() = saved_;
    TVarStringList::ShapeChanged();
    NotifyObservers([](VariableObserver& o) { o.LocalScopeChanged(); });
}

TVarStringList& LocalScope::Vars() {
    if (!vars_)
        vars_ = std::make_unique<TVarStringList>();
    return *vars_;
}

LocalScope& CurrentLocalScope() {
    static LocalScope base{LocalScope::BaseTag{}};
    LocalScope* current = CurrentScopePointer();
    return current ? *current : base;
}

TVarStringList* LocalVars() { return CurrentLocalScope().vars_.get(); }

TVarStringList& EnsureLocalVars() { return CurrentLocalScope().Vars(); }

void ResetVariableStore() {
    GlobalVars().Clear();
    if (TVarStringList* locals = LocalVars())
        locals->Clear();
}

// ---- names and substitution ----------------------------------------------------

QString BracketedUpper(const QString& name) {
    // Every write announces its name this way: a plain ASCII key is
    // bracketed and folded in one allocation.
    const bool plainAscii = !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) {
        return c.unicode() < 0x80 && c != u'[' && c != u']';
    });
    if (!plainAscii)
        return NormalizeVarName(name).toUpper();
    QString out(name.size() + 2, Qt::Uninitialized);
    QChar* to = out.data();
    *to++ = u'[';
    for (const QChar c : name)
        *to++ = (c >= u'a' && c <= u'z') ? QChar(c.unicode() - 32) : c;
    *to = u']';
    return out;
}

QString NormalizeVarName(const QString& text) {
    if (text.isEmpty())
        return text;
    QString name = text;
    if (name.front() != u'[')
        name.prepend(u'[');
    if (name.back() != u']')
        name.append(u']');
    const qsizetype opening = name.count(u'[');
    const qsizetype closing = QStringView(name).mid(1).count(u']');
    if (closing < opening)
        name.append(u']');
    else if (closing > opening)
        name.prepend(u'[');
    return name;
}

QString VarKey(const QString& name) {
    if (const auto plain = PlainName(name))
        return plain->size() == name.size() ? name : plain->toString();
    return SubstituteVars(NormalizeVarName(name), false, true);
}

namespace {

// The length of a simple reference "[Name]" starting at `at` (a name
// without brackets inside, not empty), or 0 when the reference nests or does
// not close; those go through the general walk.
qsizetype SimpleReferenceLength(QStringView text, qsizetype at) {
    for (qsizetype i = at + 1; i < text.size(); ++i) {
        if (text[i] == u'[')
            return 0;
        if (text[i] == u']')
            return i > at + 1 ? i - at + 1 : 0;
    }
    return 0;
}

void AppendReference(QString& out, QStringView name, bool numeric, bool nameMode) {
    if (nameMode) {
        out += name;
        return;
    }
    const QString value = LookupValue(name);
    if (numeric && value.isEmpty())
        out += u'0';
    else
        out += value;
}

} // namespace

// One pass from the left with a stack of the names being collected, so
// deeply nested brackets cost no recursion. Simple references, the usual
// case, are looked up straight from the text.
QString SubstituteVars(const QString& text, bool numeric, bool nameMode) {
    ClockSnapshot snapshot;
    // A parameter that is one reference ("[i]") is that value itself,
    // shared with the store instead of copied.
    if (!nameMode && StartsWithChar(text, u'[') && SimpleReferenceLength(text, 0) == text.size()) {
        QString value = LookupValue(QStringView(text).mid(1, text.size() - 2), &text);
        return numeric && value.isEmpty() ? QStringLiteral("0") : value;
    }
    QString out;
    out.reserve(text.size());
    std::vector<QString> open; // names of the references not yet closed, innermost last
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (open.empty()) {
            if (c == u']')
                break; // a stray "]" ends the text
            if (c != u'[') {
                // the plain run up to the next bracket goes in at once
                qsizetype end = i + 1;
                while (end < n && text[end] != u'[' && text[end] != u']')
                    ++end;
                out += QStringView(text).mid(i, end - i);
                i = end - 1;
                continue;
            }
            if (const qsizetype length = SimpleReferenceLength(text, i)) {
                AppendReference(out, QStringView(text).mid(i + 1, length - 2), numeric, nameMode);
                i += length - 1;
                continue;
            }
            open.emplace_back();
            continue;
        }
        if (c == u'[') {
            open.emplace_back();
        } else if (c == u']') {
            if (open.back().isEmpty())
                continue; // "[]" does not close: the name goes on to the next "]"
            const QString name = std::move(open.back());
            open.pop_back();
            if (!open.empty()) {
                open.back() += LookupValue(name); // inner references always give values
                continue;
            }
            AppendReference(out, name, numeric, nameMode);
        } else {
            open.back() += c;
        }
    }
    return out; // an unterminated reference is dropped
}

QString VariableParameterKey(const QString& text) {
    const bool plain = text.size() > 2 && text.front() == u'[' && text.back() == u']' &&
                       SimpleReferenceLength(text, 0) == text.size();
    if (!plain)
        return SubstituteVars(text, false, true);
    static TextMemo<QString> keys;
    if (const QString* key = keys.Find(text))
        return *key;
    QString key = text.mid(1, text.size() - 2);
    keys.Remember(text, text, key);
    return key;
}

const QString* StoredValue(QStringView key) {
    const HeldVariable held = ListHolding(key);
    return held.line ? &held.line->value : nullptr;
}

const QString* StoredValue(const QString& key) {
    const HeldVariable held = ListHolding(key, &key);
    return held.line ? &held.line->value : nullptr;
}

QString GetVariable(const QString& name) {
    if (const auto plain = PlainName(name)) {
        if (plain->isEmpty())
            return {};
        ClockSnapshot snapshot;
        return LookupValue(*plain);
    }
    return SubstituteVars(NormalizeVarName(name), false, false);
}

TVarType GetVarType(const QString& name) {
    if (const auto plain = PlainName(name))
        return GetKeyType(*plain);
    return GetKeyType(VarKey(name));
}

namespace {

TVarType TypeOf(const HeldVariable& held) {
    return held.line && held.line->info ? held.line->info->VarType : vtUndefined;
}

} // namespace

TVarType GetKeyType(QStringView key) {
    return key.isEmpty() ? vtUndefined : TypeOf(ListHolding(key));
}

TVarType GetKeyType(const QString& key) {
    return key.isEmpty() ? vtUndefined : TypeOf(ListHolding(key, &key));
}

// ---- writing -----------------------------------------------------------------

void SetVariable(const QString& name, const QString& value) {
    SetVariableKey(VarKey(name), value);
}

void SetVariableKey(const QString& key, const QString& value) {
    if (key.isEmpty())
        return;
    if (!value.isEmpty() && IsLastErrorKey(key))
        ReportLastError(value);
    if (const HeldVariable held = ListHolding(key, &key); held.list) {
        WriteExisting(held, key, value);
        return;
    }
    if (auto builtin = FindBuiltinVar(key)) {
        WriteBuiltin(*builtin, key, value);
        return;
    }
    if (!value.isEmpty()) {
        GlobalVars().Set(key, value);
        BroadcastChange(key, value);
    }
}

namespace {

// A short value compares faster by hand than through the library's
// search for long texts.
bool SameText(QStringView a, QStringView b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), sizeof(QChar) * a.size()) == 0;
}

// `stored` = `value`, in the buffer `stored` already owns when it has room.
void AssignInPlace(QString& stored, QStringView value) {
    const bool overlaps = value.data() >= stored.constData() && value.data() < stored.constData() + stored.size();
    if (!stored.isDetached() || stored.capacity() < value.size() || overlaps) {
        stored = value.toString();
        return;
    }
    if (stored.size() != value.size())
        stored.resize(value.size());
    std::memcpy(stored.data(), value.data(), sizeof(QChar) * value.size());
}

} // namespace

namespace {

// SetVariableKeyText once the variable holding `key` is known.
void WriteText(const QString& key, QStringView value, const HeldVariable& held) {
    // The untyped branch of WriteExisting; every other case takes the one
    // write path.
    if (!key.isEmpty() && !value.isEmpty() && held.line && !held.line->info && !IsLastErrorKey(key)) {
        QString& stored = held.line->value;
        if (!SameText(stored, value)) {
            AssignInPlace(stored, value);
            BroadcastChange(key, stored);
        }
        return;
    }
    SetVariableKey(key, value.toString());
}

} // namespace

void SetVariableKeyText(const QString& key, QStringView value) {
    WriteText(key, value, key.isEmpty() ? HeldVariable{} : ListHolding(key, &key));
}

void VariablePlace::Find(const QString& key) {
    if (known_ && shape_ == TVarStringList::ShapeVersion())
        return;
    const HeldVariable held = key.isEmpty() ? HeldVariable{} : SearchLists(key);
    list_ = held.list;
    line_ = held.line;
    shape_ = TVarStringList::ShapeVersion();
    known_ = true;
}

const QString* VariablePlace::Value(const QString& key) {
    Find(key);
    return line_ ? &line_->value : nullptr;
}

TVarType VariablePlace::Type(const QString& key) {
    Find(key);
    return line_ && line_->info ? line_->info->VarType : vtUndefined;
}

void VariablePlace::Write(const QString& key, QStringView value) {
    Find(key);
    WriteText(key, value, HeldVariable{list_, line_});
}

bool DefineVariable(const QString& name, const QString& typeWord, const QString& format,
                    bool isLocal) {
    const std::optional<TVarType> type = VarTypeFromWord(typeWord);
    if (!type) {
        SetLastError(Message(msgInvalidVariableType, typeWord));
        return false;
    }
    const QString key = VarKey(name);
    if (key.isEmpty())
        return false;
    // [LastError] stays an untyped global: the error path must always be
    // able to write it.
    if (IsLastErrorKey(key) || FindBuiltinVar(key)) {
        SetLastError(Message(msgGlobalTypeFixed, u'[' + key + u']'));
        return false;
    }
    TVarStringList& list = isLocal ? EnsureLocalVars() : GlobalVars();
    if (list.Contains(key)) {
        const TGenericVarInfo* old = list.Info(key);
        const TVarType oldType = old ? old->VarType : vtUndefined;
        const QString oldFormat = old ? old->Format : QString();
        if (oldType == *type && oldFormat == format)
            return false;
        const QString value =
            RetypedValue(list.Value(key).value_or(QString()), old, *type, format);
        if (!isLocal && *type == vtUndefined && value.isEmpty()) {
            // an untyped global never holds an empty value
            list.Remove(key);
            BroadcastChange(key, value);
            return true;
        }
        list.SetInfo(key, TGenericVarInfo{*type, format});
        list.Set(key, value);
        BroadcastChange(key, value);
        return true;
    }
    if (!isLocal && *type == vtUndefined)
        return false;
    const QString value = TypeDefault(*type, format);
    list.Set(key, value);
    list.SetInfo(key, TGenericVarInfo{*type, format});
    BroadcastChange(key, value);
    return true;
}

void SetLastError(const QString& text) {
    // Commands clear it before they run: nothing to do while it is clear.
    if (text.isEmpty() && LastErrorIsClear())
        return;
    SetVariableKey(kLastErrorKey, text);
}

QString LastError() { return GetVariable(kLastErrorKey); }

bool LastErrorIsClear() { return !ListHolding(kLastErrorKey, &kLastErrorKey).list; }

// ---- observers and the error box -------------------------------------------------

void AddVariableObserver(VariableObserver* observer) {
    if (observer && std::find(Observers().begin(), Observers().end(), observer) == Observers().end())
        Observers().push_back(observer);
}

void RemoveVariableObserver(VariableObserver* observer) {
    std::erase(Observers(), observer);
}

bool ShowErrors() { return ShowErrorsFlag(); }
void SetShowErrors(bool on) { ShowErrorsFlag() = on; }

ErrorDisplaySuppressor::ErrorDisplaySuppressor() { ++SuppressionDepth(); }
ErrorDisplaySuppressor::~ErrorDisplaySuppressor() { --SuppressionDepth(); }
bool ErrorDisplaySuppressed() { return SuppressionDepth() > 0; }

} // namespace tomeric
