// Draws the scene that the schedule picked for this frame.
#pragma once

#include "timeline.hpp"

// Draws one of Cue::Scene1, Scene2 or Scene3 at demo time t.
void drawScene(Cue scene, float t);
