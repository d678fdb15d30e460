// The show's scenes as the benchmarks time them, taken from its schedule: each scene's span
// (scene 1's from t = 0, as the show starts there) under the name the benchmarks' tables print.
#pragma once

#include "show/timeline.hpp"

struct ShowSpan {
    const char* name;
    float from;
    float to;
};

inline constexpr ShowSpan kSceneSpans[] = {
    {"scene 1 (picture)", 0.0f, kDemoTimeline[0].end},
    {"scene 2 (spheres)", kDemoTimeline[1].start, kDemoTimeline[1].end},
    {"scene 3 (tunnel)", kDemoTimeline[2].start, kDemoTimeline[2].end},
};
