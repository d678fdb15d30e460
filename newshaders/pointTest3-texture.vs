#version 330 core
// Scene one's vertex stage: places the picture's quad with the camera's projection, view
// and model matrices, and hands the corner colours, picture coordinates and the height on the
// screen on.

layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aColour;
layout(location = 2) in vec2 aTexCoord;

uniform mat4 projection;
uniform mat4 view;
uniform mat4 model;

out vec3 vColour;
out vec2 vTexCoord;
out float vScreenY;  // 0 at the bottom of the screen, 1 at the top, whatever its size

void main()
{
    gl_Position = projection * view * model * vec4(aPos, 1.0);
    vColour = aColour;
    vTexCoord = aTexCoord;
    vScreenY = 0.5 + 0.5 * gl_Position.y / gl_Position.w;
}
