// A shortcut that may keep failing, as a way of working something out
// faster that often gives no answer: tried every time while it succeeds,
// and after MISSES failures in a row only once in EVERY times, until it
// succeeds again.
#pragma once

namespace orvex {

template <int MISSES, int EVERY>
class PauseAfterMisses {
public:
    // Whether to try this time.
    bool due() {
        if (misses_ < MISSES) return true;
        if (++sincePause_ < EVERY) return false;
        sincePause_ = 0;
        return true;
    }
    // How a try went.
    void tried(bool succeeded) { misses_ = succeeded ? 0 : misses_ + 1; }

    // For a caller that counts its own turns: whether the failures have
    // come MISSES times in a row, so that only one turn in EVERY tries.
    bool pausing() const { return misses_ >= MISSES; }
    static constexpr int every = EVERY;

private:
    int misses_ = 0;      // failures in a row
    int sincePause_ = 0;  // times not tried since the last try
};

}  // namespace orvex
