// A clock that never waits: Sleep moves its time on and records what was asked.
#pragma once

#include <cstdint>
#include <numeric>
#include <vector>

#include "platform/clock.h"

namespace corvalt::testing {

class FakeClock final : public Clock {
public:
    uint64_t NowMs() const override { return m_now; }
    void Sleep(uint32_t milliseconds) override
    {
        m_sleeps.push_back(milliseconds);
        m_now += milliseconds;
    }

    void Advance(uint64_t milliseconds) { m_now += milliseconds; }
    const std::vector<uint32_t>& Sleeps() const { return m_sleeps; }
    uint64_t TotalSlept() const { return std::accumulate(m_sleeps.begin(), m_sleeps.end(), uint64_t{0}); }
    void ClearSleeps() { m_sleeps.clear(); }

private:
    uint64_t m_now = 0;
    std::vector<uint32_t> m_sleeps;
};

}  // namespace corvalt::testing
