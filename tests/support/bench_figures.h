// What every benchmark prints beside its timings: medians, and the machine's load, since other
// work on a shared machine slows both sides of a comparison.
#pragma once
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

// The middle sample, or the mean of the two middle ones; -1 when there is none.
inline double Median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The 1, 5 and 15 minute load averages, or "unknown" where the system does not say.
inline std::string MachineLoad() {
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    if (!(in >> a >> b >> c)) return "unknown";
    return a + " " + b + " " + c;
}

}  // namespace bench
