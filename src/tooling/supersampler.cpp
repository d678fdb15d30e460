// Supersampling's filter; see supersampler.hpp. One triangle covers the picture; each pixel's
// fragment fetches its N x N samples from the large target's texture.
#include "tooling/supersampler.hpp"

#include <stdexcept>
#include <string>

namespace {

constexpr const char* kVertex = R"(#version 330 core
void main()
{
    // One triangle over the whole picture, from the vertex's number alone.
    vec2 corner = vec2(gl_VertexID == 1 ? 3.0 : -1.0, gl_VertexID == 2 ? 3.0 : -1.0);
    gl_Position = vec4(corner, 0.0, 1.0);
}
)";

constexpr const char* kFragment = R"(#version 330 core
uniform sampler2D samples;
uniform int factor;
out vec4 colour;

vec3 decoded(vec3 c)
{
    return mix(c / 12.92, pow((c + 0.055) / 1.055, vec3(2.4)), step(0.04045, c));
}

vec3 encoded(vec3 c)
{
    return mix(c * 12.92, 1.055 * pow(c, vec3(1.0 / 2.4)) - 0.055, step(0.0031308, c));
}

void main()
{
    ivec2 first = ivec2(gl_FragCoord.xy) * factor;
    vec3 sum = vec3(0.0);
    for (int y = 0; y < factor; y++)
        for (int x = 0; x < factor; x++)
            sum += decoded(texelFetch(samples, first + ivec2(x, y), 0).rgb);
    colour = vec4(encoded(sum / float(factor * factor)), 1.0);
}
)";

GLuint compiled(GLenum stage, const char* source)
{
    const GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        glDeleteShader(shader);
        throw std::runtime_error(std::string("the supersampling filter does not compile: ") + log);
    }
    return shader;
}

}  // namespace

Supersampler::Supersampler(int width, int height, int factor)
    : factor_(factor), large_(width * factor, height * factor, Framebuffer::Colour::Texture)
{
    const GLuint vertex = compiled(GL_VERTEX_SHADER, kVertex);
    const GLuint fragment = compiled(GL_FRAGMENT_SHADER, kFragment);
    program_ = glCreateProgram();
    glAttachShader(program_, vertex);
    glAttachShader(program_, fragment);
    glLinkProgram(program_);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program_, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        glDeleteProgram(program_);
        throw std::runtime_error("the supersampling filter does not link");
    }
    factorLocation_ = glGetUniformLocation(program_, "factor");
    glGenVertexArrays(1, &vertexArray_);  // the core profile draws with one bound, though it feeds nothing
}

Supersampler::~Supersampler()
{
    glDeleteVertexArrays(1, &vertexArray_);
    glDeleteProgram(program_);
}

void Supersampler::resolveInto(const Framebuffer& picture) const
{
    picture.bind();
    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    glDisable(GL_DEPTH_TEST);
    glUseProgram(program_);
    glUniform1i(factorLocation_, factor_);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, large_.colourTexture());
    glBindVertexArray(vertexArray_);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    if (depthTest == GL_TRUE)
        glEnable(GL_DEPTH_TEST);
}
