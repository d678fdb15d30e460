// The picture shown under scene 1: an "official" state poster of the fictional Molvania,
// in the constructivist manner, with the chrome globes that the later scenes ray-march.
#pragma once

#include "canvas.hpp"
#include "shapes.hpp"

namespace paint {

constexpr int kPosterWidth = 1920;
constexpr int kPosterHeight = 1080;

// The great globe, in canvas pixels: the desktop icon is cut around it.
constexpr Point kGlobeCentre{1440.0, 520.0};
constexpr double kGlobeRadius = 270.0;

Canvas paintPoster();
// The same without its lettering: the ground that the desktop icon is cut from.
Canvas paintUnlettered();

}  // namespace paint
