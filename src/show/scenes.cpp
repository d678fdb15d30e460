// Scene drawing; see scenes.hpp. Uniform locations are looked up by name at every set, so a
// program that lacks a uniform simply ignores it. Nothing here allocates: it runs each frame.
#include "show/scenes.hpp"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "show/texture.hpp"

namespace {

// Scene 1's camera, fixed for the whole scene: together they move the quad to depth 0.9,
// inside the clip volume, with its x and y unchanged.
const glm::mat4 kImageView = glm::lookAt(glm::vec3(0.0f, 0.0f, 1.0f), glm::vec3(0.0f),
                                         glm::vec3(0.0f, 1.0f, 0.0f));
const glm::mat4 kImageProjection = glm::mat4(1.0f);
const glm::mat4 kImageModel = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, 1.9f));

const ProgramSpec& programFor(Cue scene)
{
    for (const ProgramSpec& program : kScenePrograms)
        if (program.scene == scene)
            return program;
    return kScenePrograms[0];  // unreachable: every scene has its row
}

Shader buildShader(Cue scene)
{
    const ProgramSpec& program = programFor(scene);
    return Shader(program.vertexPath, program.fragmentPath);
}

GLint location(GLuint program, const UniformSpec& uniform)
{
    return glGetUniformLocation(program, uniform.name);
}

void setMatrix(GLuint program, const UniformSpec& uniform, const glm::mat4& matrix)
{
    glUniformMatrix4fv(location(program, uniform), 1, GL_FALSE, glm::value_ptr(matrix));
}

// Once before the first frame: scene 1's sampler reads its texture unit.
void setImageSampler(const Shader& imageShader)
{
    glUseProgram(imageShader.programId);
    glUniform1i(location(imageShader.programId, kImageSamplerUniform), kImageTextureUnit);
}

// Makes the program current and sets the resolution (the show's 1920 by 1080 whatever the
// framebuffer, but for a preview) and the time. The program stays current.
void setFrameUniforms(const Shader& shader, float t, Resolution resolution)
{
    const GLuint program = shader.programId;
    glUseProgram(program);
    glUniform2f(location(program, kResolutionUniform), resolution.width, resolution.height);
    glUniform1f(location(program, kTimeUniform), t);
}

// Draws the quad whose vertex array is bound; its element buffer comes with it.
void drawBoundQuad()
{
    glDrawElements(GL_TRIANGLES, kQuadIndexCount, GL_UNSIGNED_INT, nullptr);
}

}  // namespace

const Shader& Scenes::shaderFor(Cue scene) const
{
    switch (scene) {
    case Cue::Scene1: return imageShader;
    case Cue::Scene2: return firstShader;
    default: return secondShader;
    }
}

Shader& Scenes::shaderFor(Cue scene)
{
    return const_cast<Shader&>(static_cast<const Scenes&>(*this).shaderFor(scene));
}

Scenes loadScenes()
{
    const Shader imageShader = buildShader(Cue::Scene1);
    const Shader firstShader = buildShader(Cue::Scene2);
    const Shader secondShader = buildShader(Cue::Scene3);
    const Mesh screenQuad = buildScreenQuad();
    const Mesh texturedQuad = buildTexturedQuad();
    const GLuint imageTexture = loadTexture();
    setImageSampler(imageShader);
    return {imageShader, firstShader, secondShader, screenQuad, texturedQuad, imageTexture};
}

Scenes assembleScenes(const std::array<GLuint, std::size(kScenePrograms)>& programs, GLuint imageTexture)
{
    Scenes scenes{Shader(0u), Shader(0u), Shader(0u), buildScreenQuad(), buildTexturedQuad(), imageTexture};
    for (std::size_t row = 0; row < programs.size(); ++row)
        scenes.shaderFor(kScenePrograms[row].scene).programId = programs[row];
    setImageSampler(scenes.imageShader);
    return scenes;
}

void replaceProgram(Scenes& scenes, Cue scene, GLuint program)
{
    Shader& shader = scenes.shaderFor(scene);
    glDeleteProgram(shader.programId);
    shader.programId = program;
    if (scene == Cue::Scene1)
        setImageSampler(shader);
}

void drawScene(const Scenes& scenes, Cue scene, float t, Resolution resolution)
{
    if (scene != Cue::Scene1 && scene != Cue::Scene2 && scene != Cue::Scene3)
        return;
    const Shader& shader = scenes.shaderFor(scene);
    setFrameUniforms(shader, t, resolution);
    if (programFor(scene).quad == Quad::Screen) {
        glBindVertexArray(scenes.screenQuad.vertexArray);
        drawBoundQuad();
        return;
    }
    glBindVertexArray(scenes.texturedQuad.vertexArray);
    setMatrix(shader.programId, kViewUniform, kImageView);
    setMatrix(shader.programId, kProjectionUniform, kImageProjection);
    setMatrix(shader.programId, kModelUniform, kImageModel);
    glActiveTexture(GL_TEXTURE0 + kImageTextureUnit);
    glBindTexture(GL_TEXTURE_2D, scenes.imageTexture);
    drawBoundQuad();
}

Cue renderFrame(const Scenes& scenes, float t, Resolution resolution)
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const Cue cue = demoTimeline(t);
    drawScene(scenes, cue, t, resolution);
    return cue;
}
