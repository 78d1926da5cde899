#include "vars/var_string_list.h"

#include <array>

namespace tomeric {
namespace {

constexpr std::array<const char*, 7> kTypeWords = {
    "Undefined", "String", "Integer", "Currency", "Decimal", "Boolean", "Date"};

} // namespace

QString VarTypeWord(TVarType type) {
    return type < kTypeWords.size() ? QString::fromLatin1(kTypeWords[type]) : QString();
}

std::optional<TVarType> VarTypeFromWord(const QString& word) {
    const QString wanted = word.trimmed();
    for (std::size_t i = 0; i < kTypeWords.size(); ++i)
        if (wanted.compare(QLatin1String(kTypeWords[i]), Qt::CaseInsensitive) == 0)
            return static_cast<TVarType>(i);
    return std::nullopt;
}

const TVarStringList::Line* TVarStringList::Find(const QString& key) const {
    const auto it = index_.constFind(Fold(key));
    return it == index_.constEnd() ? nullptr : &lines_[*it];
}

TVarStringList::Line* TVarStringList::Find(const QString& key) {
    const auto it = index_.constFind(Fold(key));
    return it == index_.constEnd() ? nullptr : &lines_[*it];
}

bool TVarStringList::Contains(const QString& key) const { return Find(key) != nullptr; }

std::optional<QString> TVarStringList::Value(const QString& key) const {
    const Line* line = Find(key);
    if (!line)
        return std::nullopt;
    return line->value;
}

QString TVarStringList::StoredKey(const QString& key) const {
    const Line* line = Find(key);
    return line ? line->key : QString();
}

const TGenericVarInfo* TVarStringList::Info(const QString& key) const {
    const Line* line = Find(key);
    return line ? line->info.get() : nullptr;
}

TGenericVarInfo* TVarStringList::Info(const QString& key) {
    Line* line = Find(key);
    return line ? line->info.get() : nullptr;
}

void TVarStringList::Set(const QString& key, const QString& value) {
    if (Line* line = Find(key)) {
        line->value = value;
        return;
    }
    index_.insert(Fold(key), static_cast<int>(lines_.size()));
    lines_.push_back(Line{key, value, nullptr, true});
    ++live_;
}

void TVarStringList::SetInfo(const QString& key, std::optional<TGenericVarInfo> info) {
    Line* line = Find(key);
    if (!line)
        return;
    if (!info || info->VarType == vtUndefined)
        line->info.reset();
    else
        line->info = std::make_unique<TGenericVarInfo>(*info);
}

bool TVarStringList::Remove(const QString& key) {
    const auto it = index_.find(Fold(key));
    if (it == index_.end())
        return false;
    Line& line = lines_[*it];
    line.alive = false;
    line.info.reset();
    line.value.clear();
    index_.erase(it);
    --live_;
    CompactWhenSparse();
    return true;
}

// Removed lines are holes; once they outnumber the living ones the vector is
// rebuilt, so removal stays O(1) amortised and walking stays O(Count).
void TVarStringList::CompactWhenSparse() {
    const int holes = static_cast<int>(lines_.size()) - live_;
    if (holes < 32 || holes < live_)
        return;
    std::vector<Line> kept;
    kept.reserve(static_cast<std::size_t>(live_));
    for (Line& line : lines_)
        if (line.alive)
            kept.push_back(std::move(line));
    lines_ = std::move(kept);
    index_.clear();
    for (int i = 0; i < static_cast<int>(lines_.size()); ++i)
        index_.insert(Fold(lines_[i].key), i);
}

void TVarStringList::Clear() {
    lines_.clear();
    index_.clear();
    live_ = 0;
}

QStringList TVarStringList::Keys() const {
    QStringList keys;
    keys.reserve(live_);
    ForEach([&](const QString& key, const QString&, const TGenericVarInfo*) { keys << key; });
    return keys;
}

} // namespace tomeric
