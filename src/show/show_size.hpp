// The show's picture: 1920x1080. The demo's window asks for that size, "u_resolution" always
// says it, and every program that renders a frame of the show renders it at that size.
#pragma once

inline constexpr int kShowWidth = 1920;
inline constexpr int kShowHeight = 1080;
