#pragma once
// The system's master volume through the ALSA mixer ("Master" of the
// default card), loaded at run time: a machine without ALSA or without a
// sound card simply has none, and the player's own master level stands in.

#include <optional>

namespace tomeric {

class TAlsaMaster {
public:
    // The one master control of the machine; null when there is none.
    static TAlsaMaster* Find();

    // 0 .. 65,535 over the control's own range.
    std::optional<int> Level() const;
    bool SetLevel(int control);

private:
    TAlsaMaster() = default;
    bool Open();

    void* library_ = nullptr;
    void* mixer_ = nullptr;
    void* element_ = nullptr;
    long minimum_ = 0, maximum_ = 0;
};

} // namespace tomeric
