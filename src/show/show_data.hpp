// What the show loads and how each piece is fed, in one table: the scene programs' source
// files, the quad each is drawn on, the uniforms the scenes set in it with their GL types,
// scene 1's sampler and its texture unit, the picture and the tune. The demo's loader, its
// companion programs and the tests all read it; paths are relative to the working directory.
#pragma once

#include <glad/gl.h>

#include <cstddef>
#include <string>
#include <vector>

#include "show/timeline.hpp"

// The scene programs' source files. Scenes 2 and 3 share one vertex shader, built once for
// each program.
inline constexpr const char* kImageVertexShader = "newshaders/pointTest3-texture.vs";
inline constexpr const char* kImageFragmentShader = "newshaders/pointTest15-texture.fs";
inline constexpr const char* kScreenVertexShader = "newshaders/SphereTest1.vs";
inline constexpr const char* kFirstFragmentShader = "newshaders/First.fs";
inline constexpr const char* kSecondFragmentShader = "newshaders/Second3.fs";

// Scene 1's picture and the looped tune.
inline constexpr const char* kImagePath = "imgs/officialmolvanian2.png";
inline constexpr const char* kTunePath = "demotune.wav";

// A uniform that the scenes set, as the program must declare it.
struct UniformSpec {
    const char* name;
    GLenum type;
};

// Every scene program gets these each pass.
inline constexpr UniformSpec kResolutionUniform{"u_resolution", GL_FLOAT_VEC2};
inline constexpr UniformSpec kTimeUniform{"u_time", GL_FLOAT};
// Scene 1's sampler, set once before the first frame, and its camera, set each pass.
inline constexpr UniformSpec kImageSamplerUniform{"texture15", GL_SAMPLER_2D};
inline constexpr UniformSpec kViewUniform{"view", GL_FLOAT_MAT4};
inline constexpr UniformSpec kProjectionUniform{"projection", GL_FLOAT_MAT4};
inline constexpr UniformSpec kModelUniform{"model", GL_FLOAT_MAT4};

// Scene 1's picture is sampled from this unit, leaving unit 0 to whatever else binds there.
inline constexpr GLint kImageTextureUnit = 2;

inline constexpr UniformSpec kScreenUniforms[] = {kResolutionUniform, kTimeUniform};
inline constexpr UniformSpec kImageUniforms[] = {kResolutionUniform, kTimeUniform, kImageSamplerUniform,
                                                 kViewUniform, kProjectionUniform, kModelUniform};

// A constant array of uniforms, as a range.
struct UniformList {
    template <std::size_t N>
    constexpr UniformList(const UniformSpec (&uniforms)[N]) : first(uniforms), count(N) {}
    constexpr const UniformSpec* begin() const { return first; }
    constexpr const UniformSpec* end() const { return first + count; }

    const UniformSpec* first;
    std::size_t count;
};

// The two quads: the whole screen with a position at attribute 0, or the middle half with a
// position, a colour and a texture coordinate at 0, 1 and 2.
enum class Quad { Screen, Textured };

struct ProgramSpec {
    Cue scene;  // the scene it draws
    const char* vertexPath;
    const char* fragmentPath;
    Quad quad;
    UniformList uniforms;  // every uniform the scenes set in it, the sampler included
};

// In start-up order, which is the scenes' order: imageShader, firstShader, secondShader.
inline constexpr ProgramSpec kScenePrograms[] = {
    {Cue::Scene1, kImageVertexShader, kImageFragmentShader, Quad::Textured, kImageUniforms},
    {Cue::Scene2, kScreenVertexShader, kFirstFragmentShader, Quad::Screen, kScreenUniforms},
    {Cue::Scene3, kScreenVertexShader, kSecondFragmentShader, Quad::Screen, kScreenUniforms},
};

// Every file the show reads, each once, in the order start-up first reads it.
inline std::vector<std::string> showDataFiles()
{
    std::vector<std::string> files;
    const auto add = [&files](const char* path) {
        for (const std::string& known : files)
            if (known == path)
                return;
        files.emplace_back(path);
    };
    for (const ProgramSpec& program : kScenePrograms) {
        add(program.vertexPath);
        add(program.fragmentPath);
    }
    add(kImagePath);
    add(kTunePath);
    return files;
}
