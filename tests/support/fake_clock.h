// A clock that never waits: Sleep moves its time on and records what was asked.
#pragma once

#include <cstdint>
#include <numeric>
#include <vector>

#include "platform/clock.h"

namespace corvalt::testing {

class FakeClock final : public Clock {
public:
    uint64_t NowMs() const override { return now_; }
    void Sleep(uint32_t milliseconds) override
    {
        sleeps_.push_back(milliseconds);
        now_ += milliseconds;
    }

    void Advance(uint64_t milliseconds) { now_ += milliseconds; }
    const std::vector<uint32_t>& Sleeps() const { return sleeps_; }
    uint64_t TotalSlept() const { return std::accumulate(sleeps_.begin(), sleeps_.end(), uint64_t{0}); }
    void ClearSleeps() { sleeps_.clear(); }

private:
    uint64_t now_ = 0;
    std::vector<uint32_t> sleeps_;
};

}  // namespace corvalt::testing
