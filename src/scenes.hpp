// The three scenes of the show: which program draws which quad, the uniforms every scene
// program receives each pass, and scene 1's camera and picture. Kept apart from the demo's
// entry so that other programs can draw the very same scenes.
#pragma once

#include <glad/gl.h>

#include "mesh.hpp"
#include "shader.hpp"
#include "timeline.hpp"

// The scene programs' source files, relative to the working directory. Scenes 2 and 3
// share one vertex shader, built once for each program.
inline constexpr const char* kImageVertexShader = "newshaders/pointTest3-texture.vs";
inline constexpr const char* kImageFragmentShader = "newshaders/pointTest15-texture.fs";
inline constexpr const char* kScreenVertexShader = "newshaders/SphereTest1.vs";
inline constexpr const char* kFirstFragmentShader = "newshaders/First.fs";
inline constexpr const char* kSecondFragmentShader = "newshaders/Second3.fs";

// What the scenes draw with, all made once at start-up.
struct Scenes {
    Shader imageShader;   // scene 1, on texturedQuad with imageTexture
    Shader firstShader;   // scene 2, on screenQuad
    Shader secondShader;  // scene 3, on screenQuad
    Mesh screenQuad;
    Mesh texturedQuad;
    GLuint imageTexture;
};

// Builds everything the scenes draw with, in start-up order: the three programs, screenQuad
// then texturedQuad, the picture, then scene 1's sampler. Failures are reported by each
// loader and the show goes on with whatever resulted.
Scenes loadScenes();

// Once before the first frame: scene 1's sampler "texture15" reads texture unit 2.
void setImageSampler(const Scenes& scenes);

// Makes the program current and sets "u_resolution" (always the show's 1920 by 1080,
// whatever the framebuffer) and "u_time" to t. The program stays current.
void setFrameUniforms(const Shader& shader, float t);

// Draws scene 1, 2 or 3 at demo time t; any other cue draws nothing. Every scene sets all
// the state it draws with, so nothing depends on what an earlier pass left behind.
void drawScene(const Scenes& scenes, Cue scene, float t);

// One pass's picture, as the frame loop makes it: cleared to opaque black, then the scene
// that the schedule picks for t, if any. Returns that cue, so the caller can tell the end.
Cue renderFrame(const Scenes& scenes, float t);
