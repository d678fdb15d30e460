// The demo's one window: fullscreen 1920x1080 on the primary monitor with an OpenGL 3.3
// core context.
#pragma once

struct GLFWwindow;

inline constexpr int kWindowWidth = 1920;
inline constexpr int kWindowHeight = 1080;

// Asks the window library for an OpenGL 3.3 core context in the next window it makes: the
// first three of the demo's hints, shared by every program that draws the scenes.
void requestCoreContext();

// Sets the window hints and opens the window with its context current, its framebuffer-size
// callback installed, the cursor captured and keys sticky. Null when no window could be made.
GLFWwindow* createDemoWindow();

// Keeps the viewport on the whole framebuffer after a mode change.
void onFramebufferResize(GLFWwindow* window, int width, int height);
