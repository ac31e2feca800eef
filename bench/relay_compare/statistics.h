#ifndef RELAY_COMPARE_STATISTICS_H
#define RELAY_COMPARE_STATISTICS_H

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace relay_compare {

struct Spread {
    double p50 = 0;
    double p99 = 0;
    double max = 0;
    std::size_t samples = 0;
};

// Nearest-rank percentile of sorted samples: a value that was measured,
// never one between two samples.
inline double percentileOfSorted(const std::vector<double>& sorted, double percent) {
    if (sorted.empty()) return 0;
    const auto rank = static_cast<std::size_t>(std::ceil(percent / 100.0 * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

inline Spread spreadOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    Spread spread;
    spread.samples = samples.size();
    spread.p50 = percentileOfSorted(samples, 50);
    spread.p99 = percentileOfSorted(samples, 99);
    spread.max = samples.empty() ? 0 : samples.back();
    return spread;
}

}  // namespace relay_compare

#endif
