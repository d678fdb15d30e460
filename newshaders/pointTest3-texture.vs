#version 330 core
// Scene one's vertex stage: places the picture's quad with the camera's projection, view
// and model matrices, and hands the corner colours and picture coordinates on.

layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aColour;
layout(location = 2) in vec2 aTexCoord;

uniform mat4 projection;
uniform mat4 view;
uniform mat4 model;

out vec3 vColour;
out vec2 vTexCoord;

void main()
{
    gl_Position = projection * view * model * vec4(aPos, 1.0);
    vColour = aColour;
    vTexCoord = aTexCoord;
}
