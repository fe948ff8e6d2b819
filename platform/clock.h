// Time as the program sees it: a monotonic millisecond count and a sleep.
// The tests replace it with a clock that never waits but records the time
// asked for.
#pragma once

#include <cstdint>

namespace corvalt {

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint64_t NowMs() const = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};

// The real, monotonic clock.
class SystemClock final : public Clock {
public:
    uint64_t NowMs() const override;
    void Sleep(uint32_t milliseconds) override;
};

}  // namespace corvalt
