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

FoldedKey::FoldedKey(QStringView key) {
    bool ascii = true;
    bool upper = true;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        ascii = ascii && u < 0x80;
        upper = upper && !(u >= u'a' && u <= u'z');
    }
    if (ascii && upper) {
        view_ = key;
    } else if (ascii) {
        ascii_.resize(key.size());
        for (qsizetype i = 0; i < key.size(); ++i) {
            const char16_t u = key[i].unicode();
            ascii_[i] = (u >= u'a' && u <= u'z') ? char16_t(u - (u'a' - u'A')) : u;
        }
        view_ = QStringView(ascii_.constData(), ascii_.size());
    } else {
        other_ = key.toString().toUpper();
        view_ = other_;
    }
}

const TVarStringList::Line* TVarStringList::FindLine(QStringView key) const {
    const FoldedKey folded(key);
    const auto it = index_.find(folded.View());
    return it == index_.end() ? nullptr : &lines_[static_cast<std::size_t>(it->second)];
}

TVarStringList::Line* TVarStringList::FindLine(QStringView key) {
    const FoldedKey folded(key);
    const auto it = index_.find(folded.View());
    return it == index_.end() ? nullptr : &lines_[static_cast<std::size_t>(it->second)];
}

bool TVarStringList::Contains(QStringView key) const { return FindLine(key) != nullptr; }

std::optional<QString> TVarStringList::Value(QStringView key) const {
    const Line* line = FindLine(key);
    if (!line)
        return std::nullopt;
    return line->value;
}

const QString* TVarStringList::ValuePointer(QStringView key) const {
    const Line* line = FindLine(key);
    return line ? &line->value : nullptr;
}

QString TVarStringList::StoredKey(const QString& key) const {
    const Line* line = FindLine(key);
    return line ? line->key : QString();
}

const TGenericVarInfo* TVarStringList::Info(QStringView key) const {
    const Line* line = FindLine(key);
    return line ? line->info.get() : nullptr;
}

TGenericVarInfo* TVarStringList::Info(QStringView key) {
    Line* line = FindLine(key);
    return line ? line->info.get() : nullptr;
}

void TVarStringList::Set(const QString& key, const QString& value) {
    if (Line* line = FindLine(key)) {
        line->value = value;
        return;
    }
    index_.emplace(Fold(key), static_cast<int>(lines_.size()));
    lines_.push_back(Line{key, value, nullptr, true});
    ++live_;
    ShapeChanged();
}

void TVarStringList::SetInfo(const QString& key, std::optional<TGenericVarInfo> info) {
    Line* line = FindLine(key);
    if (!line)
        return;
    if (!info || info->VarType == vtUndefined)
        line->info.reset();
    else
        line->info = std::make_unique<TGenericVarInfo>(*info);
}

bool TVarStringList::Remove(const QString& key) {
    const FoldedKey folded(key);
    const auto it = index_.find(folded.View());
    if (it == index_.end())
        return false;
    Line& line = lines_[static_cast<std::size_t>(it->second)];
    line.alive = false;
    line.info.reset();
    line.value.clear();
    index_.erase(it);
    --live_;
    ShapeChanged();
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
    ShapeChanged();
    index_.clear();
    for (int i = 0; i < static_cast<int>(lines_.size()); ++i)
        index_.emplace(Fold(lines_[i].key), i);
}

void TVarStringList::Clear() {
    ShapeChanged();
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
