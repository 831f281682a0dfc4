// The process-wide worker pool that counts rows in parallel.
//
// It is created on first use, sized once from TESSARY_NUM_THREADS (a positive
// whole number) or from the processors this process may run on, and never
// destroyed: its workers wait forever on a condition variable that nothing
// tears down, so neither interpreter exit nor a daemon thread inside a call can
// meet a joinable std::thread in a static destructor. A forked child drops the
// parent's pool (whose threads did not survive the fork) and builds its own.
#pragma once

#include <cstdint>

namespace tessary::pixel {

// One run of rows to count: `count_row(context, row)` must be safe to call
// from several threads at once for distinct rows.
struct RowSum {
    std::uint64_t (*count_row)(const void* context, std::uint64_t row);
    const void* context;
};

class Pool;

// The pool, created on the first call. Throws std::runtime_error ("The global
// thread pool has not been initialized.: ...") when its threads cannot be
// started; a later call tries again.
Pool& global_pool();

// Counts rows [begin, end) on the pool's workers and returns their sum. The
// calling thread counts nothing itself: it blocks until its own rows are done,
// whatever other callers have queued. A failure in a worker is rethrown here.
std::uint64_t sum_rows(Pool& pool, const RowSum& work, std::uint64_t begin, std::uint64_t end);

}  // namespace tessary::pixel
