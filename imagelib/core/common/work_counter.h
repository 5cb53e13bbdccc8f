// The work one decode does (bytes decompressed, samples decoded, entries
// walked), against the most it may do.
#pragma once

#include <cstdint>

namespace sky {

class WorkCounter {
public:
    explicit WorkCounter(uint64_t limit = UINT64_MAX) : limit_(limit) {}
    // False, spending nothing, when the work would pass the limit.
    bool Spend(uint64_t units) {
        if (units > limit_ - spent_)
            return false;
        spent_ += units;
        return true;
    }
    uint64_t Spent() const { return spent_; }
    uint64_t Limit() const { return limit_; }

private:
    uint64_t limit_;
    uint64_t spent_ = 0;
};

} // namespace sky
