// The benchmarks' statistics and CPU clock (stats.hpp): the percentile by rank, rounded to the
// nearest, and getrusage's user and system times summed.
#include "stats.hpp"

#include <sys/resource.h>

#include <algorithm>
#include <limits>
#include <utility>

namespace bench {

double percentile(std::vector<double> samples, double p)
{
    if (samples.empty())
        return std::numeric_limits<double>::quiet_NaN();
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<std::size_t>(p * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[rank];
}

double median(std::vector<double> samples)
{
    return percentile(std::move(samples), 0.5);
}

double maximum(const std::vector<double>& samples)
{
    return samples.empty() ? std::numeric_limits<double>::quiet_NaN()
                           : *std::max_element(samples.begin(), samples.end());
}

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
         + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace bench
