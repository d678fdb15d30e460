// The three scenes of the show: which program draws which quad, the uniforms every scene
// program receives each pass, and scene 1's camera and picture. Kept apart from the demo's
// entry so that other programs can draw the very same scenes; what each program is built
// from and fed with is the table in show_data.hpp.
#pragma once

#include <glad/gl.h>

#include <array>

#include "show/show_size.hpp"
#include "show/mesh.hpp"
#include "show/shader.hpp"
#include "show/show_data.hpp"
#include "show/timeline.hpp"

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
    Shader& shaderFor(Cue scene);
};

// The size "u_resolution" gives the scene programs: the show's 1920 by 1080 unless the frame is
// rendered at another size (demo-live's preview).
struct Resolution {
    float width;
    float height;
};
inline constexpr Resolution kShowResolution{static_cast<float>(kShowWidth), static_cast<float>(kShowHeight)};

// Builds everything the scenes draw with, in start-up order: the three programs, screenQuad
// then texturedQuad, the picture, then scene 1's sampler. Failures are reported by each
// loader and the show goes on with whatever resulted.
Scenes loadScenes();

// The same around programs and a picture made elsewhere (one program per row of
// kScenePrograms, in its order): the quads are built and scene 1's sampler set as loadScenes
// does. For a program that builds and checks its own, as demo-live does.
Scenes assembleScenes(const std::array<GLuint, std::size(kScenePrograms)>& programs, GLuint imageTexture);

// Puts a program built elsewhere in the place of scene 1's, 2's or 3's, deleting the one it
// replaces; scene 1's gets its sampler set as at start-up.
void replaceProgram(Scenes& scenes, Cue scene, GLuint program);

// Draws scene 1, 2 or 3 at demo time t; any other cue draws nothing. Every scene sets all
// the state it draws with, so nothing depends on what an earlier pass left behind.
void drawScene(const Scenes& scenes, Cue scene, float t, Resolution resolution = kShowResolution);

// One pass's picture, as the frame loop makes it: cleared to opaque black, then the scene
// that the schedule picks for t, if any. Returns that cue, so the caller can tell the end.
Cue renderFrame(const Scenes& scenes, float t, Resolution resolution = kShowResolution);
