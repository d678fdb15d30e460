// The picture shown under scene 1: an "official" state poster of the fictional Molvania,
// in the constructivist manner, with the chrome globes that the later scenes ray-march.
#pragma once

#include "canvas.hpp"

namespace paint {

constexpr int kPosterWidth = 1920;
constexpr int kPosterHeight = 1080;

Canvas paintPoster();

}  // namespace paint
