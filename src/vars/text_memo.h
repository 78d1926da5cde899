#pragma once
// A loop runs the same lines on every pass, and each line hands the store
// and the evaluator the very same texts of its parsed script. A TextMemo
// remembers what was worked out from such a text (the variable a key names,
// the cut form of an expression) by where the text lies in memory, so the
// next pass finds it without hashing or comparing the text again.
//
// An address names one text only while that text lives and cannot change:
// so an entry keeps a reference to the text it was made from (`owner`, in
// which the key lies), and only texts on the heap are remembered, which Qt
// shares and copies before any change. Static or borrowed texts (capacity
// 0) are never remembered. The memo is a small table: a newer entry simply
// replaces an older one in its slot.

#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <cstdint>

namespace tomeric {

template <class Value, std::size_t Slots = 64>
class TextMemo {
public:
    // The value remembered for `key`; null when there is none.
    const Value* Find(QStringView key) const
    {
        const Entry& entry = slots_[SlotOf(key)];
        return entry.data == key.data() && entry.size == key.size() && entry.data ? &entry.value : nullptr;
    }

    // Remembers `value` for `key`, which lies in `owner`.
    void Remember(QStringView key, const QString& owner, Value value)
    {
        if (owner.capacity() == 0 || key.isEmpty())
            return;
        slots_[SlotOf(key)] = Entry{owner, key.data(), key.size(), std::move(value)};
    }

private:
    struct Entry {
        QString owner;
        const QChar* data = nullptr;
        qsizetype size = 0;
        Value value{};
    };
    static std::size_t SlotOf(QStringView key)
    {
        return (reinterpret_cast<std::uintptr_t>(key.data()) >> 4) % Slots;
    }
    std::array<Entry, Slots> slots_{};
};

} // namespace tomeric
