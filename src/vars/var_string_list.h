#pragma once
// The lists that hold variables: `key=value` lines with case-insensitive,
// hashed keys that keep the order in which they were added (saving and
// ClearVariables walk that order). Lookup, insertion and deletion cost the
// same with 100 000 variables as with 10.

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
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

// A key in the case-insensitive form the lists hash it under. Keys that
// are already upper-case ASCII are used in place; other ASCII keys are
// folded into a buffer on the stack, so the usual lookup allocates nothing.
class FoldedKey {
public:
    explicit FoldedKey(QStringView key);
    FoldedKey(const FoldedKey&) = delete;
    FoldedKey& operator=(const FoldedKey&) = delete;
    QStringView View() const { return view_; }

private:
    QVarLengthArray<char16_t, 64> ascii_;
    QString other_; // keys beyond ASCII fold through QString::toUpper
    QStringView view_;
};

class TVarStringList {
public:
    TVarStringList() = default;
    ~TVarStringList() { ShapeChanged(); }
    TVarStringList(const TVarStringList&) = delete;
    TVarStringList& operator=(const TVarStringList&) = delete;

    // Number of variables held.
    int Count() const { return live_; }
    bool IsEmpty() const { return live_ == 0; }
    bool Contains(QStringView key) const;

    // The stored value; nothing when the key is absent.
    std::optional<QString> Value(QStringView key) const;
    // The stored value in place, for readers that only look at it; null when
    // the key is absent. Valid until the list next changes.
    const QString* ValuePointer(QStringView key) const;
    // The key as it was first written (original case); empty when absent.
    QString StoredKey(const QString& key) const;
    // The type information of a typed variable; null for untyped or absent.
    const TGenericVarInfo* Info(QStringView key) const;
    TGenericVarInfo* Info(QStringView key);

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

    // One variable as the list keeps it. FindLine lets a writer look its
    // variable up once for reading, checking and writing; the pointer is
    // valid until the list next gains or loses a key.
    struct Line {
        QString key;
        QString value;
        std::unique_ptr<TGenericVarInfo> info;
        bool alive = true;
    };
    const Line* FindLine(QStringView key) const;
    Line* FindLine(QStringView key);

    // Changes whenever any list gains, loses or moves a line: a Line pointer
    // found before stays valid, and still names the same variable, while
    // this number stays the same.
    static std::uint64_t ShapeVersion() { return shapeVersion_; }
    static void ShapeChanged() { ++shapeVersion_; }

private:
    struct FoldedHash {
        using is_transparent = void;
        size_t operator()(QStringView key) const { return qHash(key); }
        size_t operator()(const QString& key) const { return qHash(QStringView(key)); }
    };
    struct FoldedEqual {
        using is_transparent = void;
        bool operator()(QStringView a, QStringView b) const { return a == b; }
    };
    void CompactWhenSparse();

    std::vector<Line> lines_; // removed lines stay as holes until compaction
    std::unordered_map<QString, int, FoldedHash, FoldedEqual> index_; // folded key -> position
    int live_ = 0;
    static inline std::uint64_t shapeVersion_ = 0;
};

} // namespace tomeric
