#version 330 core
// Scenes 2 and 3: the full-screen quad as it is; the fragment shaders do the work.
layout (location = 0) in vec3 aPos;

void main()
{
    gl_Position = vec4(aPos, 1.0);
}
