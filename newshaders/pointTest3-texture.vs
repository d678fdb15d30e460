#version 330 core
// Scene 1: the picture's quad, placed by the camera matrices.
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec3 aColour;
layout (location = 2) in vec2 aTexCoord;

uniform mat4 view;
uniform mat4 projection;
uniform mat4 model;

out vec3 tint;
out vec2 texCoord;

void main()
{
    gl_Position = projection * view * model * vec4(aPos, 1.0);
    tint = aColour;
    texCoord = aTexCoord;
}
