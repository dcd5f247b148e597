// Two ways of doing the same work, timed side by side (A B A B ...) so that drift hits both alike.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename Work>
double Seconds(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Medians over the pairs: of A's times, of B's times, and of B's time over A's within each pair.
struct PairTimes {
    double a = 0;
    double b = 0;
    double ratio = 0;
};

template <typename A, typename B>
PairTimes Alternate(int pairs, A&& a, B&& b) {
    std::vector<double> as, bs, ratios;
    for (int pair = 0; pair < pairs; ++pair) {
        as.push_back(Seconds(a));
        bs.push_back(Seconds(b));
        ratios.push_back(bs.back() / as.back());
    }
    return {Median(as), Median(bs), Median(ratios)};
}

}  // namespace bench
