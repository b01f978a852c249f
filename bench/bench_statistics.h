// Figures the benchmarks compute from their measurements.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace nimbel::bench {

// The value a `fraction` (0 … 1) of the way through the sorted values; 0 for none.
inline double percentile(std::vector<double> values, double fraction)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

}  // namespace nimbel::bench
