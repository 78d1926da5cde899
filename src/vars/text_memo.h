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
// 0) are never remembered. The memo is a small table of a fixed size: a
// newer entry pushes an older one out.

#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace tomeric {

template <class Value, std::size_t Slots = 256>
class TextMemo {
    static_assert(Slots % 2 == 0);

public:
    // The value remembered for `key`; null when there is none.
    const Value* Find(QStringView key) const
    {
        const std::size_t slot = SlotOf(key);
        for (const std::size_t at : {slot, slot ^ 1})
            if (slots_[at].data == key.data() && slots_[at].size == key.size() && key.data())
                return &slots_[at].value;
        return nullptr;
    }

    // Remembers `value` for `key`, which lies in `owner`. A key has two
    // slots: the newest entry takes the first, the one it displaces the
    // second, so two keys that meet in a slot do not push each other out.
    void Remember(QStringView key, const QString& owner, Value value)
    {
        if (owner.capacity() == 0 || key.isEmpty())
            return;
        const std::size_t slot = SlotOf(key);
        Entry& first = slots_[slot];
        if (first.data != key.data() || first.size != key.size())
            slots_[slot ^ 1] = std::move(first);
        first = Entry{owner, key.data(), key.size(), std::move(value)};
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
        // Fibonacci hashing spreads neighbouring addresses over the table.
        const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key.data()));
        return static_cast<std::size_t>((address * 0x9E3779B97F4A7C15ull) >> 40) % Slots;
    }
    std::array<Entry, Slots> slots_{};
};

} // namespace tomeric
