// RGBA pixels read back from a frame, made fit for a smaller picture: averaged down, each
// output pixel over the whole area it covers, as a camera's sensor would see the frame.
#pragma once

#include <cstdint>
#include <vector>

// Averages an RGBA picture of width x height down to toWidth x toHeight (no larger).
std::vector<std::uint8_t> downscaleRgba(const std::vector<std::uint8_t>& rgba, int width, int height,
                                        int toWidth, int toHeight);
