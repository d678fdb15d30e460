// The show's flashes as a photosensitive viewer meets them, by the rules broadcasters check
// video with (WCAG 2.x success criterion 2.3.1; ITU-R BT.1702 and ISO 9241-391 on flashing kept
// up): general flashes of luminance and red flashes, no more than three a second, and no
// flashing kept up for long. Pure: fed each frame's planes at a frame rate of its own, it
// finds the spans of time that fail, or that pass the rules but not the show's own margin
// (flash_report.hpp words them).
//
// The rules apply to an area a viewer takes in at once, about a 10-degree field: besides the
// whole frame, each cell of a 3x3 grid of it, which is a 10-degree field when the screen, 30
// degrees across, is seen from about 1.9 times its width (a television across a room, a party's
// screen from the middle of the floor). A change counts only over a quarter of a region or more.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

enum class FlashKind { General, Red, Sustained };

struct FlashSpan {
    double from = 0.0;  // seconds from the first frame
    double to = 0.0;
    FlashKind kind = FlashKind::General;
    int region = 0;      // FlashAnalyser::kWholeFrame, or a cell of the grid
    double count = 0.0;  // the most flashes in any second of it (Sustained: its seconds of 5)
    bool fails = false;  // else over the show's own margin only
};

class FlashAnalyser {
public:
    static constexpr int kColumns = 3;
    static constexpr int kRows = 3;
    static constexpr int kWholeFrame = 0;  // then the cells, row by row from the top left
    static constexpr int kRegions = 1 + kColumns * kRows;
    // The rules' limit, and the show's own margin below it, in flashes a second.
    static constexpr double kLimit = 3.0;
    static constexpr double kMargin = 2.0;

    // Frames of this size, this many a second, the first of them `start` seconds into the show.
    FlashAnalyser(int width, int height, double framesPerSecond, double start = 0.0);

    // One frame, top row first, a value a pixel: its relative luminance in linear light (0 to
    // 1), and its red value: (R - G - B) x 320 in linear light where the red is saturated
    // (R / (R + G + B) >= 0.8), else 0.
    void addPlanes(const float* luminance, const float* red);
    // One frame of 8-bit sRGB, RGBA, top row first.
    void addRgba(const std::uint8_t* rgba);

    // The spans found in the frames so far, in time order.
    std::vector<FlashSpan> spans() const;
    // The most flashes in any second of one kind in one region (Sustained: the most seconds of
    // 5 with 2 or more), and when the second (the 5) started.
    struct Worst {
        double count = 0.0;
        double from = 0.0;
    };
    Worst worst(FlashKind kind, int region) const;

private:
    // One region's run of change in one direction, for one kind of flash: how far it has gone,
    // the darkest it has been, and whether it made a transition yet.
    struct Trend {
        double accumulated = 0.0;
        double darkest = 1.0;
        bool counted = false;
    };
    // For each frame, transitions of a kind in a region in the second that ends there; and
    // for sustained flashing, the frames of the 5 seconds ending there with 2 or more flashes.
    std::vector<int> perSecond(FlashKind kind, int region) const;
    std::vector<int> busyFrames(int region) const;
    std::vector<FlashSpan> spansOf(const std::vector<int>& counts, FlashKind kind, int region, double window) const;

    int width_;
    int height_;
    double fps_;
    double start_;
    long frames_ = 0;
    std::vector<float> luminance_;  // the frame before
    std::vector<float> red_;
    std::vector<float> nextLuminance_;  // planes made from RGBA
    std::vector<float> nextRed_;
    std::array<std::array<Trend, 2>, kRegions> trends_{};                // general, red
    std::array<std::array<std::vector<long>, 2>, kRegions> transitions_;  // their frames
};
