// Scene drawing; see scenes.hpp. Uniform locations are looked up by name at every set, so a
// program that lacks a uniform simply ignores it. Nothing here allocates: it runs each frame.
#include "scenes.hpp"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "texture.hpp"
#include "window.hpp"

namespace {

// Scene 1's picture is sampled from this unit, leaving unit 0 to whatever else binds there.
constexpr GLint kImageTextureUnit = 2;

// Scene 1's camera, fixed for the whole scene: together they move the quad to depth 0.9,
// inside the clip volume, with its x and y unchanged.
const glm::mat4 kImageView = glm::lookAt(glm::vec3(0.0f, 0.0f, 1.0f), glm::vec3(0.0f),
                                         glm::vec3(0.0f, 1.0f, 0.0f));
const glm::mat4 kImageProjection = glm::mat4(1.0f);
const glm::mat4 kImageModel = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, 1.9f));

void setMatrix(GLuint program, const char* name, const glm::mat4& matrix)
{
    glUniformMatrix4fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(matrix));
}

// Draws the quad whose vertex array is bound; its element buffer comes with it.
void drawBoundQuad()
{
    glDrawElements(GL_TRIANGLES, kQuadIndexCount, GL_UNSIGNED_INT, nullptr);
}

}  // namespace

Scenes loadScenes()
{
    const Shader imageShader(kImageVertexShader, kImageFragmentShader);
    const Shader firstShader(kScreenVertexShader, kFirstFragmentShader);
    const Shader secondShader(kScreenVertexShader, kSecondFragmentShader);
    const Mesh screenQuad = buildScreenQuad();
    const Mesh texturedQuad = buildTexturedQuad();
    const GLuint imageTexture = loadTexture();
    const Scenes scenes{imageShader, firstShader, secondShader, screenQuad, texturedQuad, imageTexture};
    setImageSampler(scenes);
    return scenes;
}

void setImageSampler(const Scenes& scenes)
{
    const GLuint program = scenes.imageShader.programId;
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "texture15"), kImageTextureUnit);
}

void setFrameUniforms(const Shader& shader, float t)
{
    const GLuint program = shader.programId;
    glUseProgram(program);
    glUniform2f(glGetUniformLocation(program, "u_resolution"), static_cast<float>(kWindowWidth),
                static_cast<float>(kWindowHeight));
    glUniform1f(glGetUniformLocation(program, "u_time"), t);
}

void drawScene(const Scenes& scenes, Cue scene, float t)
{
    switch (scene) {
    case Cue::Scene1: {
        const GLuint program = scenes.imageShader.programId;
        setFrameUniforms(scenes.imageShader, t);
        glBindVertexArray(scenes.texturedQuad.vertexArray);
        setMatrix(program, "view", kImageView);
        setMatrix(program, "projection", kImageProjection);
        setMatrix(program, "model", kImageModel);
        glActiveTexture(GL_TEXTURE0 + kImageTextureUnit);
        glBindTexture(GL_TEXTURE_2D, scenes.imageTexture);
        drawBoundQuad();
        break;
    }
    case Cue::Scene2:
        setFrameUniforms(scenes.firstShader, t);
        glBindVertexArray(scenes.screenQuad.vertexArray);
        drawBoundQuad();
        break;
    case Cue::Scene3:
        setFrameUniforms(scenes.secondShader, t);
        glBindVertexArray(scenes.screenQuad.vertexArray);
        drawBoundQuad();
        break;
    case Cue::Black:
    case Cue::End:
        break;
    }
}

Cue renderFrame(const Scenes& scenes, float t)
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const Cue cue = demoTimeline(t);
    drawScene(scenes, cue, t);
    return cue;
}
