// The window library's windows with an OpenGL 3.3 core context: the demo's one window,
// fullscreen on the primary monitor, and the context request every program that draws the
// scenes makes.
#pragma once

struct GLFWwindow;

// Asks the window library for an OpenGL 3.3 core context in the next window it makes: the
// first three of the demo's hints, shared by every program that draws the scenes.
void requestCoreContext();

// Sets the window hints and opens the demo's window of the given size with its context current,
// its framebuffer-size callback installed, the cursor captured and keys sticky. Null when no
// window could be made.
GLFWwindow* createDemoWindow(int width, int height);

// Keeps the viewport on the whole framebuffer after a mode change.
void onFramebufferResize(GLFWwindow* window, int width, int height);
