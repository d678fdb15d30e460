// Loudness by ffmpeg's EBU R128 meter; see loudness.hpp. The filter's summary is read for its
// three figures.
#include "loudness.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "encoder.hpp"

namespace {

// The ceiling for the true peak before encoding: a little under the -1 dBTP the platforms ask
// for, a margin that the AAC encoding at 256 kbit/s overshoots by less than (at 192 kbit/s it
// overshot the show's peak by 0.2 dB).
constexpr double kPeakCeiling = -1.1;

// The number after `label` in the filter's summary.
double figure(const std::string& summary, const std::string& label)
{
    const std::size_t at = summary.find(label);
    if (at == std::string::npos)
        throw std::runtime_error("ffmpeg's loudness meter gave no \"" + label + "\"");
    return std::strtod(summary.c_str() + at + label.size(), nullptr);
}

}  // namespace

Loudness measureLoudness(const std::string& ffmpeg, const std::string& file)
{
    const ProgramRun run = runProgram(ffmpeg, {"-hide_banner", "-nostats", "-i", file, "-vn", "-af",
                                               "ebur128=peak=true:framelog=verbose", "-f", "null", "-"});
    const std::size_t summary = run.output.rfind("Summary:");
    if (!run.ok || summary == std::string::npos)
        throw std::runtime_error("ffmpeg could not measure the loudness of " + file);
    const std::string text = run.output.substr(summary);
    return {figure(text, "I:"), figure(text, "LRA:"), figure(text, "Peak:")};
}

double loudnessGain(const Loudness& measured, double target)
{
    return std::min(target - measured.integrated, kPeakCeiling - measured.truePeak);
}

std::string describeLoudness(const Loudness& loudness)
{
    char text[96];
    std::snprintf(text, sizeof text, "%.1f LUFS integrated, %.1f LU range, true peak %.1f dBTP", loudness.integrated,
                  loudness.range, loudness.truePeak);
    return text;
}
