// What every benchmark computes from its samples, said once so that their figures mean the same:
// a percentile is the sample at rank round(p * (n - 1)) of the sorted samples, so the median is
// the upper of the two middle ones of an even count; and the wall and CPU clocks read for them.
#pragma once

#include <chrono>
#include <ratio>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

// Of no samples, NaN: a figure nothing was measured for prints as "nan".
double percentile(std::vector<double> samples, double p);
double median(std::vector<double> samples);
double maximum(const std::vector<double>& samples);

// The wall time from `from` to `to` (now, by default) in seconds, or in Period: std::milli, ...
template <class Period = std::ratio<1>>
double elapsed(Clock::time_point from, Clock::time_point to = Clock::now())
{
    return std::chrono::duration<double, Period>(to - from).count();
}

// The CPU time, user and system, used so far by this process (RUSAGE_SELF) or by the calling
// thread (RUSAGE_THREAD), in seconds.
double cpuSeconds(int who);

}  // namespace bench
