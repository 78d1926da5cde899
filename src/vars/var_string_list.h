#pragma once
// The lists that hold variables: `key=value` lines with case-insensitive,
// hashed keys that keep the order in which they were added (saving and
// ClearVariables walk that order). Lookup, insertion and deletion cost the
// same with 100 000 variables as with 10.

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace tomeric {

// The type of a typed variable (DefineVar). The numbers are the ones the
// publications and the debugger use.
enum TVarType : std::uint8_t {
    vtUndefined = 0,
    vtString = 1,
    vtInteger = 2,
    vtCurrency = 3,
    vtDecimal = 4,
    vtBoolean = 5,
    vtDate = 6,
};

// "Undefined", "String", "Integer", "Currency", "Decimal", "Boolean", "Date".
QString VarTypeWord(TVarType type);
// The type a DefineVar type word names (trimmed, any case); nothing for an
// unknown word.
std::optional<TVarType> VarTypeFromWord(const QString& word);

// What a typed variable carries besides its value.
struct TGenericVarInfo {
    TVarType VarType = vtUndefined;
    // vtDecimal: the number of decimals as text; vtDate: the date format
    // ("Default" = the locale's short date format).
    QString Format;
};

class TVarStringList {
public:
    TVarStringList() = default;
    TVarStringList(const TVarStringList&) = delete;
    TVarStringList& operator=(const TVarStringList&) = delete;

    // Number of variables held.
    int Count() const { return live_; }
    bool IsEmpty() const { return live_ == 0; }
    bool Contains(const QString& key) const;

    // The stored value; nothing when the key is absent.
    std::optional<QString> Value(const QString& key) const;
    // The key as it was first written (original case); empty when absent.
    QString StoredKey(const QString& key) const;
    // The type information of a typed variable; null for untyped or absent.
    const TGenericVarInfo* Info(const QString& key) const;
    TGenericVarInfo* Info(const QString& key);

    // Adds `key=value` at the end, or replaces the value of an existing key
    // (keeping its place and its type information).
    void Set(const QString& key, const QString& value);
    // Gives the key type information (nothing for vtUndefined: the
    // information is removed). The key must exist.
    void SetInfo(const QString& key, std::optional<TGenericVarInfo> info);
    // Removes the key with its type information; false when it was absent.
    bool Remove(const QString& key);
    // Removes every variable and its type information.
    void Clear();

    // Keys in the order they were added (original case).
    QStringList Keys() const;
    // Calls f(key, value, info) for each variable in order; info may be null.
    template <class F>
    void ForEach(F&& f) const {
        for (const Line& line : lines_)
            if (line.alive)
                f(line.key, line.value, line.info.get());
    }

    // Set by the last typed assignment into this list: true when the value
    // could not be converted to the variable's type.
    bool ConversionFailed = false;

    // The case-insensitive form under which keys are hashed.
    static QString Fold(const QString& key) { return key.toUpper(); }

private:
    struct Line {
        QString key;
        QString value;
        std::unique_ptr<TGenericVarInfo> info;
        bool alive = true;
    };
    const Line* Find(const QString& key) const;
    Line* Find(const QString& key);
    void CompactWhenSparse();

    std::vector<Line> lines_; // removed lines stay as holes until compaction
    QHash<QString, int> index_; // folded key -> position in lines_
    int live_ = 0;
};

} // namespace tomeric
