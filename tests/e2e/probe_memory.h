// The tool's committed private memory, now and at its highest, read inside the tool.
#pragma once

#include <cstddef>

namespace probe {

// Committed private bytes, summed over the address space: Wine reports no private-usage counter.
size_t PrivateBytes();

struct PeakMemory {
    size_t bytes = 0;
    size_t samples = 0;  // how many times it was sampled: proof that sampling went on
};

// The highest PrivateBytes sampled since the last call; the first call starts the sampling, so
// its answer is the present value. Sampled every few milliseconds, also while the tool's own
// thread is busy with a check.
PeakMemory PeakPrivateBytes();

}  // namespace probe
