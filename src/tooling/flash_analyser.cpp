// The flash rules applied frame by frame; see flash_analyser.hpp. For each region and kind, a
// frame's change is the mean change of the pixels that changed, when they are a quarter of the
// region or more (else none); changes in one direction accumulate, and a run that reaches the
// rule's size is one transition (a general one only while its darker side is below 0.8). Two
// opposing transitions make a flash, so a second holding more than 6 transitions fails.
#include "tooling/flash_analyser.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// General flashes: a change of 0.1 in relative luminance, while the darker side is below 0.8.
constexpr double kLuminanceTransition = 0.1;
constexpr double kDarkerSideBelow = 0.8;
// Red flashes: a change of 20 in (R - G - B) x 320 over saturated red.
constexpr double kRedTransition = 20.0;
constexpr double kRedScale = 320.0;
constexpr double kSaturatedRed = 0.8;
// A change is counted over this share of a region or more.
constexpr double kLeastArea = 0.25;
// Pixels that change less than this (rounding of the 8 bits a frame holds) have not changed.
constexpr double kUnchangedLuminance = 0.004;
constexpr double kUnchangedRed = 0.5;
// Flashing kept up: 2 flashes a second or more (4 transitions) for 4 seconds of any 5.
constexpr int kSustainedTransitions = 4;
constexpr double kSustainedSeconds = 4.0;
constexpr double kSustainedWindow = 5.0;

double linear(int srgb)
{
    const double c = srgb / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

FlashAnalyser::FlashAnalyser(int width, int height, double framesPerSecond, double start)
    : width_(width), height_(height), fps_(framesPerSecond), start_(start)
{
}

void FlashAnalyser::addRgba(const std::uint8_t* rgba)
{
    static const auto toLinear = [] {
        std::array<float, 256> table{};
        for (int i = 0; i < 256; ++i)
            table[std::size_t(i)] = static_cast<float>(linear(i));
        return table;
    }();
    const std::size_t pixels = std::size_t(width_) * std::size_t(height_);
    nextLuminance_.resize(pixels);
    nextRed_.resize(pixels);
    for (std::size_t i = 0; i < pixels; ++i) {
        const float r = toLinear[rgba[4 * i]], g = toLinear[rgba[4 * i + 1]], b = toLinear[rgba[4 * i + 2]];
        nextLuminance_[i] = 0.2126f * r + 0.7152f * g + 0.0722f * b;
        const float sum = r + g + b;
        nextRed_[i] = sum > 0.0f && r >= float(kSaturatedRed) * sum ? std::max(r - g - b, 0.0f) * float(kRedScale) : 0.0f;
    }
    addPlanes(nextLuminance_.data(), nextRed_.data());
}

void FlashAnalyser::addPlanes(const float* luminance, const float* red)
{
    const std::size_t pixels = std::size_t(width_) * std::size_t(height_);
    if (frames_++ == 0) {
        luminance_.assign(luminance, luminance + pixels);
        red_.assign(red, red + pixels);
        return;
    }
    // Per region: pixels, changed ones of each kind, the sum of their changes, and the sum of
    // the darker side of the luminance's.
    struct Sums {
        long pixels = 0;
        std::array<long, 2> changed{};
        std::array<double, 2> change{};
        double darker = 0.0;
    };
    std::array<Sums, kRegions> sums{};
    for (int y = 0; y < height_; ++y) {
        const int row = y * kRows / height_;
        const std::size_t line = std::size_t(y) * std::size_t(width_);
        for (int column = 0; column < kColumns; ++column) {
            Sums& s = sums[std::size_t(1 + row * kColumns + column)];
            const std::size_t end = line + std::size_t((column + 1) * width_ / kColumns);
            for (std::size_t i = line + std::size_t(column * width_ / kColumns); i < end; ++i) {
                const float dl = luminance[i] - luminance_[i], dr = red[i] - red_[i];
                if (std::abs(dl) >= float(kUnchangedLuminance)) {
                    ++s.changed[0];
                    s.change[0] += double(dl);
                    s.darker += double(std::min(luminance[i], luminance_[i]));
                }
                if (std::abs(dr) >= float(kUnchangedRed)) {
                    ++s.changed[1];
                    s.change[1] += double(dr);
                }
            }
            s.pixels += long(end - line) - long(column * width_ / kColumns);
        }
    }
    // The whole frame is its cells together.
    for (std::size_t cell = 1; cell < sums.size(); ++cell) {
        Sums& whole = sums[kWholeFrame];
        whole.pixels += sums[cell].pixels;
        whole.darker += sums[cell].darker;
        for (std::size_t kind = 0; kind < 2; ++kind) {
            whole.changed[kind] += sums[cell].changed[kind];
            whole.change[kind] += sums[cell].change[kind];
        }
    }
    for (std::size_t region = 0; region < sums.size(); ++region) {
        const Sums& s = sums[region];
        for (std::size_t kind = 0; kind < 2; ++kind) {
            if (s.changed[kind] < kLeastArea * double(s.pixels))
                continue;  // too small a part of the region to count, or none
            const double change = s.change[kind] / double(s.changed[kind]);
            const double darker = kind == 0 ? s.darker / double(s.changed[kind]) : 0.0;
            Trend& trend = trends_[region][kind];
            if (trend.accumulated != 0.0 && (change > 0.0) != (trend.accumulated > 0.0))
                trend = Trend{};  // the direction turned: a run of its own starts
            trend.accumulated += change;
            trend.darkest = std::min(trend.darkest, darker);
            const double size = kind == 0 ? kLuminanceTransition : kRedTransition;
            if (!trend.counted && std::abs(trend.accumulated) >= size && (kind == 1 || trend.darkest < kDarkerSideBelow)) {
                trend.counted = true;
                transitions_[region][kind].push_back(frames_ - 1);
            }
        }
    }
    luminance_.assign(luminance, luminance + pixels);
    red_.assign(red, red + pixels);
}

std::vector<int> FlashAnalyser::perSecond(FlashKind kind, int region) const
{
    const std::vector<long>& at = transitions_[std::size_t(region)][kind == FlashKind::Red ? 1 : 0];
    const long window = std::lround(fps_);
    std::vector<int> counts(std::size_t(frames_), 0);
    std::size_t first = 0, last = 0;
    for (long frame = 0; frame < frames_; ++frame) {
        while (last < at.size() && at[last] <= frame)
            ++last;
        while (first < last && at[first] <= frame - window)
            ++first;
        counts[std::size_t(frame)] = int(last - first);
    }
    return counts;
}

std::vector<int> FlashAnalyser::busyFrames(int region) const
{
    const std::vector<int> general = perSecond(FlashKind::General, region), red = perSecond(FlashKind::Red, region);
    const long window = std::lround(kSustainedWindow * fps_);
    std::vector<int> busy(std::size_t(frames_), 0);
    int inWindow = 0;
    for (long frame = 0; frame < frames_; ++frame) {
        const auto busyAt = [&](long f) {
            return std::max(general[std::size_t(f)], red[std::size_t(f)]) >= kSustainedTransitions ? 1 : 0;
        };
        inWindow += busyAt(frame) - (frame >= window ? busyAt(frame - window) : 0);
        busy[std::size_t(frame)] = inWindow;
    }
    return busy;
}

std::vector<FlashSpan> FlashAnalyser::spansOf(const std::vector<int>& counts, FlashKind kind, int region,
                                              double window) const
{
    const bool sustained = kind == FlashKind::Sustained;
    // Transitions (a flash is two) or busy frames, each side of the limit and the margin.
    const double failsAbove = sustained ? kSustainedSeconds * fps_ - 1.0 : 2.0 * kLimit;
    const double warnsAbove = sustained ? failsAbove : 2.0 * kMargin;
    // Each stretch of windows over the margin is one span, failing if any of its windows does.
    std::vector<FlashSpan> found;
    bool open = false;
    for (std::size_t frame = 0; frame < counts.size(); ++frame) {
        if (counts[frame] <= warnsAbove) {
            open = false;
            continue;
        }
        const double end = start_ + double(frame + 1) / fps_;
        const double count = sustained ? counts[frame] / fps_ : counts[frame] / 2.0;
        if (!open)
            found.push_back({std::max(end - window, start_), end, kind, region, 0.0, false});
        open = true;
        found.back().to = end;
        found.back().count = std::max(found.back().count, count);
        found.back().fails = found.back().fails || counts[frame] > failsAbove;
    }
    return found;
}

std::vector<FlashSpan> FlashAnalyser::spans() const
{
    std::vector<FlashSpan> all;
    for (int region = 0; region < kRegions; ++region) {
        for (FlashKind kind : {FlashKind::General, FlashKind::Red}) {
            const std::vector<FlashSpan> some = spansOf(perSecond(kind, region), kind, region, 1.0);
            all.insert(all.end(), some.begin(), some.end());
        }
        const std::vector<FlashSpan> kept = spansOf(busyFrames(region), FlashKind::Sustained, region, kSustainedWindow);
        all.insert(all.end(), kept.begin(), kept.end());
    }
    std::stable_sort(all.begin(), all.end(), [](const FlashSpan& a, const FlashSpan& b) { return a.from < b.from; });
    return all;
}

FlashAnalyser::Worst FlashAnalyser::worst(FlashKind kind, int region) const
{
    const bool sustained = kind == FlashKind::Sustained;
    const std::vector<int> counts = sustained ? busyFrames(region) : perSecond(kind, region);
    const double window = sustained ? kSustainedWindow : 1.0;
    Worst most;
    for (std::size_t frame = 0; frame < counts.size(); ++frame) {
        const double count = sustained ? counts[frame] / fps_ : counts[frame] / 2.0;
        if (count > most.count)
            most = {count, start_ + std::max(double(frame + 1) / fps_ - window, 0.0)};
    }
    return most;
}
