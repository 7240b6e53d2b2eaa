#pragma once

#include <array>
#include <optional>

namespace zentuvo {

// The tries that bring back a stream which dropped, for the players and the recorder alike:
// after 1 s, 2 s and 5 s, three in all.
class RetryTries {
public:
    static constexpr int kTries = 3;
    using Delays = std::array<int, kTries>;

    // The delay in ms before the next try, which is counted from now on; nullopt once every
    // try was made (and the count starts again).
    std::optional<int> next() {
        if (attempt_ >= kTries) {
            attempt_ = 0;
            return std::nullopt;
        }
        return delays_[attempt_++];
    }
    // The try under way, 1 to kTries; 0 while none is.
    int attempt() const { return attempt_; }
    // The stream is back, or given up by the caller.
    void reset() { attempt_ = 0; }
    // No try is left: the next next() gives up.
    void useAll() { attempt_ = kTries; }
    // Tests wait less.
    void setDelays(const Delays& delaysMs) { delays_ = delaysMs; }

private:
    Delays delays_{1000, 2000, 5000};
    int attempt_ = 0;
};

} // namespace zentuvo
