#pragma once
// Table-driven application of records to typed structures: a binding row
// says which field a tag sets and how the record's value is converted
// (low byte, range check, Yes/No, bracketed variable name ...). The settings,
// the page background, the common object properties and every object family
// each have one table of such rows; a tag missing from a table is a key that
// structure does not take, and the record is skipped.

#include "publication/record_reader.h"

#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace tomeric {

struct TObjectRecord;
struct TPublicationSettings;

enum class TValueRule : std::uint8_t {
    vrInteger,     // the integer as read
    vrLowByte,     // its low byte (styles, alignments, flags)
    vrLow16,       // its low 16 bits (tab order, key codes)
    vrFontStyle,   // its low four bits
    vrByteInRange, // its low byte; skipped when outside [min, max]
    vrIntInRange,  // the integer; skipped when outside [min, max]
    vrAtLeast,     // the integer, raised to min
    vrYesNo,       // the Yes/No value
    vrNotYesNo,    // the opposite of the Yes/No value
    vrText,        // the text as read (text¶ keys already have their line breaks)
    vrVarName,     // a bracketed variable name
    vrSpecial,     // a rule of its own
};

// What a special rule may need besides its target.
struct TBindingContext {
    TObjectRecord* object = nullptr;
    TPublicationSettings* settings = nullptr;
};

template <class T>
struct TBinding {
    using Special = void (*)(T&, const TRecord&, TBindingContext&);
    int tag = 0;
    TValueRule rule = TValueRule::vrInteger;
    int T::*intField = nullptr;
    bool T::*boolField = nullptr;
    QString T::*textField = nullptr;
    Special special = nullptr;
    int min = 0, max = 0;
};

// Shorthands for writing tables: B::Int(ktX, &T::x), B::Text(ktName, &T::name) ...
template <class T>
struct TBind {
    using R = TBinding<T>;
    static R Int(int tag, int T::*f) { return {tag, TValueRule::vrInteger, f}; }
    static R Byte(int tag, int T::*f) { return {tag, TValueRule::vrLowByte, f}; }
    static R Word(int tag, int T::*f) { return {tag, TValueRule::vrLow16, f}; }
    static R FontStyle(int tag, int T::*f) { return {tag, TValueRule::vrFontStyle, f}; }
    static R ByteIn(int tag, int T::*f, int min, int max) {
        return {tag, TValueRule::vrByteInRange, f, nullptr, nullptr, nullptr, min, max};
    }
    static R IntIn(int tag, int T::*f, int min, int max) {
        return {tag, TValueRule::vrIntInRange, f, nullptr, nullptr, nullptr, min, max};
    }
    static R AtLeast(int tag, int T::*f, int min) {
        return {tag, TValueRule::vrAtLeast, f, nullptr, nullptr, nullptr, min, 0};
    }
    static R YesNo(int tag, bool T::*f) { return {tag, TValueRule::vrYesNo, nullptr, f}; }
    static R NotYesNo(int tag, bool T::*f) { return {tag, TValueRule::vrNotYesNo, nullptr, f}; }
    static R Text(int tag, QString T::*f) { return {tag, TValueRule::vrText, nullptr, nullptr, f}; }
    static R VarName(int tag, QString T::*f) {
        return {tag, TValueRule::vrVarName, nullptr, nullptr, f};
    }
    static R Special(int tag, typename R::Special s) {
        return {tag, TValueRule::vrSpecial, nullptr, nullptr, nullptr, s};
    }
};

// The rows of one structure, found by tag with one look-up instead of a
// walk through the rows: every object record goes through such a table.
template <class T>
class TBindingTable {
public:
    TBindingTable(std::vector<TBinding<T>> rows) : rows_(std::move(rows)) {
        Q_ASSERT(rows_.size() < kNoRow);
        rowByTag_.fill(kNoRow);
        for (std::size_t i = rows_.size(); i-- > 0;) { // the first row of a tag wins
            Q_ASSERT(rows_[i].tag >= 0 && rows_[i].tag < kTagLimit);
            rowByTag_[rows_[i].tag] = std::uint8_t(i);
        }
    }
    TBindingTable(std::initializer_list<TBinding<T>> rows) : TBindingTable(std::vector<TBinding<T>>(rows)) {}

    const TBinding<T>* Find(int tag) const {
        if (tag < 0 || tag >= kTagLimit || rowByTag_[tag] == kNoRow) return nullptr;
        return &rows_[rowByTag_[tag]];
    }
    auto begin() const { return rows_.begin(); }
    auto end() const { return rows_.end(); }

private:
    static constexpr int kTagLimit = 1024; // above every tag of the format
    static constexpr std::uint8_t kNoRow = 0xFF;

    std::vector<TBinding<T>> rows_;
    std::array<std::uint8_t, kTagLimit> rowByTag_;
};

template <class T>
TBindingTable<T> JoinBindings(std::initializer_list<std::vector<TBinding<T>>> parts) {
    std::vector<TBinding<T>> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

template <class T>
void ApplyRule(const TBinding<T>& b, T& target, TRecord& r, TBindingContext& context) {
    using enum TValueRule;
    const bool needsInteger = b.rule <= vrAtLeast;
    if (needsInteger && !r.integer) return; // malformed integer: the property keeps its value
    const int value = needsInteger ? *r.integer : 0;
    switch (b.rule) {
    case vrInteger: target.*b.intField = value; break;
    case vrLowByte: target.*b.intField = value & 0xFF; break;
    case vrLow16: target.*b.intField = value & 0xFFFF; break;
    case vrFontStyle: target.*b.intField = value & 0x0F; break;
    case vrByteInRange:
        if ((value & 0xFF) >= b.min && (value & 0xFF) <= b.max) target.*b.intField = value & 0xFF;
        break;
    case vrIntInRange:
        if (value >= b.min && value <= b.max) target.*b.intField = value;
        break;
    case vrAtLeast: target.*b.intField = std::max(value, b.min); break;
    case vrYesNo: target.*b.boolField = r.yesNo; break;
    case vrNotYesNo: target.*b.boolField = !r.yesNo; break;
    case vrText: target.*b.textField = r.TakeText(); break; // the record is spent
    case vrVarName: target.*b.textField = TakeBoundVarName(r); break;
    case vrSpecial:
        r.Text(); // special rules read the record as it stands
        b.special(target, r, context);
        break;
    }
}

// Applies the record when the table has its tag; false when the structure
// does not take the key. A text the structure takes is moved out of the
// record, which is spent afterwards.
template <class T>
bool ApplyBinding(const TBindingTable<T>& table, T& target, TRecord& r,
                  TBindingContext& context) {
    const TBinding<T>* row = table.Find(r.tag);
    if (!row) return false;
    ApplyRule(*row, target, r, context);
    return true;
}

} // namespace tomeric
