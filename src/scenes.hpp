// The three scenes of the show: which program draws which quad, the uniforms every scene
// program receives each pass, and scene 1's camera and picture. Kept apart from the demo's
// entry so that other programs can draw the very same scenes; what each program is built
// from and fed with is the table in show_data.hpp.
#pragma once

#include <glad/gl.h>

#include "mesh.hpp"
#include "shader.hpp"
#include "show_data.hpp"
#include "timeline.hpp"

// What the scenes draw with, all made once at start-up.
struct Scenes {
    Shader imageShader;   // scene 1, on texturedQuad with imageTexture
    Shader firstShader;   // scene 2, on screenQuad
    Shader secondShader;  // scene 3, on screenQuad
    Mesh screenQuad;
    Mesh texturedQuad;
    GLuint imageTexture;

    // The program that draws scene 1, 2 or 3 (the cue of a row of kScenePrograms).
    const Shader& shaderFor(Cue scene) const;
};

// Builds everything the scenes draw with, in start-up order: the three programs, screenQuad
// then texturedQuad, the picture, then scene 1's sampler. Failures are reported by each
// loader and the show goes on with whatever resulted.
Scenes loadScenes();

// Draws scene 1, 2 or 3 at demo time t; any other cue draws nothing. Every scene sets all
// the state it draws with, so nothing depends on what an earlier pass left behind.
void drawScene(const Scenes& scenes, Cue scene, float t);

// One pass's picture, as the frame loop makes it: cleared to opaque black, then the scene
// that the schedule picks for t, if any. Returns that cue, so the caller can tell the end.
Cue renderFrame(const Scenes& scenes, float t);
