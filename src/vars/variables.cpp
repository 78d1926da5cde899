#include "vars/variables.h"

#include "platform/cp1252.h"
#include "platform/string_table.h"
#include "vars/builtin_vars.h"
#include "vars/dates.h"
#include "vars/typed_values.h"

#include <QDateTime>

#include <algorithm>
#include <optional>
#include <vector>

namespace tomeric {
namespace {

const QString kLastErrorKey = QStringLiteral("LastError");

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
    const std::vector<VariableObserver*> copy = Observers(); // observers may detach themselves
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

bool IsLastErrorKey(const QString& key) {
    return key.compare(kLastErrorKey, Qt::CaseInsensitive) == 0;
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

QString LookupValue(const QString& name) {
    if (const TVarStringList* locals = LocalVars())
        if (auto value = locals->Value(name))
            return *value;
    if (auto value = GlobalVars().Value(name))
        return *value;
    if (auto builtin = FindBuiltinVar(name))
        return ReadBuiltinVar(*builtin, IsTimeOrDateVar(*builtin) ? ClockSnapshot::Now() : QDateTime());
    if (name.startsWith(u'#'))
        return CharacterCode(name.mid(1));
    return {};
}

void BroadcastChange(const QString& key, const QString& value) {
    const QString name = BracketedUpper(key);
    NotifyObservers([&](VariableObserver& o) { o.VariableChanged(name, value); });
}

void ReportLastError(const QString& text) {
    const bool showBox = ShowErrors() && !ErrorDisplaySuppressed();
    NotifyObservers([&](VariableObserver& o) { o.LastErrorSet(text, showBox); });
}

TVarStringList* ListHolding(const QString& key) {
    if (TVarStringList* locals = LocalVars(); locals && locals->Contains(key))
        return locals;
    if (GlobalVars().Contains(key))
        return &GlobalVars();
    return nullptr;
}

void WriteExisting(TVarStringList& list, const QString& key, const QString& value) {
    const QString stored = list.Value(key).value_or(QString());
    const TGenericVarInfo* info = list.Info(key);
    if (!info) {
        if (value.isEmpty()) {
            list.Remove(key);
            BroadcastChange(key, value);
        } else if (value != stored) {
            list.Set(key, value);
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
    NotifyObservers([](VariableObserver& o) { o.LocalScopeChanged(); });
}

LocalScope::LocalScope(BaseTag) : isBase_(true) {}

LocalScope::~LocalScope() {
    if (isBase_)
        return;
    if (CurrentScopePointer() == this)
        CurrentScopePointer() = saved_;
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
    return NormalizeVarName(name).toUpper();
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
    return SubstituteVars(NormalizeVarName(name), false, true);
}

// One pass from the left with a stack of the names being collected, so
// deeply nested brackets cost no recursion.
QString SubstituteVars(const QString& text, bool numeric, bool nameMode) {
    ClockSnapshot snapshot;
    QString out;
    out.reserve(text.size());
    std::vector<QString> open; // names of the references not yet closed, innermost last
    for (const QChar c : text) {
        if (open.empty()) {
            if (c == u']')
                break; // a stray "]" ends the text
            if (c == u'[')
                open.emplace_back();
            else
                out += c;
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
            if (nameMode) {
                out += name;
            } else {
                const QString value = LookupValue(name);
                out += (numeric && value.isEmpty()) ? QStringLiteral("0") : value;
            }
        } else {
            open.back() += c;
        }
    }
    return out; // an unterminated reference is dropped
}

QString GetVariable(const QString& name) {
    return SubstituteVars(NormalizeVarName(name), false, false);
}

TVarType GetVarType(const QString& name) {
    const QString key = VarKey(name);
    if (key.isEmpty())
        return vtUndefined;
    if (const TVarStringList* locals = LocalVars(); locals && locals->Contains(key)) {
        const TGenericVarInfo* info = locals->Info(key);
        return info ? info->VarType : vtUndefined;
    }
    const TGenericVarInfo* info = GlobalVars().Info(key);
    return info ? info->VarType : vtUndefined;
}

// ---- writing -----------------------------------------------------------------

void SetVariable(const QString& name, const QString& value) {
    const QString key = VarKey(name);
    if (key.isEmpty())
        return;
    if (!value.isEmpty() && IsLastErrorKey(key))
        ReportLastError(value);
    if (TVarStringList* list = ListHolding(key)) {
        WriteExisting(*list, key, value);
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

void SetLastError(const QString& text) { SetVariable(kLastErrorKey, text); }

QString LastError() { return GetVariable(kLastErrorKey); }

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
