// The demo: a fullscreen window that shows three scenes on a fixed schedule, counted from
// window-library initialisation, until Escape, a close request, or 109 seconds have passed.
// Reads as a script: start-up, the frame loop, the end.
#include <glad/gl.h>
#include <GLFW/glfw3.h>

#include <iostream>

#include "platform/gl_context.hpp"
#include "platform/interrupt.hpp"
#include "platform/window.hpp"
#include "show/scenes.hpp"
#include "show/show_data.hpp"
#include "show/show_size.hpp"
#include "show/texture.hpp"
#include "show/timeline.hpp"
#include "sound/music.hpp"

// Opened before main, so the sound device is ready when the show starts; it lives until the
// process ends. Null without an output device: the show then runs in silence.
SoundEngine* const soundEngine = openProcessSoundEngine();

// The picture is decoded on a thread of its own while the window is made; the picture's step
// of start-up takes it, and reports it there if it can't be loaded.
[[maybe_unused]] const bool pictureDecodedAhead = decodePictureAhead();

// Ctrl-C and SIGTERM end the show as Escape does, so the close path gives the desktop back.
[[maybe_unused]] const bool interruptsCaught = catchInterrupts();

int main()
{
    glfwInit();  // also starts the clock that the schedule counts from

    GLFWwindow* window = createDemoWindow(kShowWidth, kShowHeight);
    if (window == nullptr) {
        std::cout << "Failed to create GLFW window" << std::endl;
        glfwTerminate();
        return -1;
    }
    if (!loadGlFunctions(glfwGetProcAddress)) {
        std::cout << "Failed to initialize GLAD" << std::endl;
        glfwTerminate();  // gives the desktop its video mode back
        return -1;
    }
    glEnable(GL_DEPTH_TEST);

    // Programs, quads, picture and sampler; failures are reported and the show goes on.
    const Scenes scenes = loadScenes();

    startMusic(soundEngine, kTunePath);  // last of all start-up: the music loops from here until the process ends

    while (!glfwWindowShouldClose(window)) {
        // The pass still completes; the loop ends at its next close-flag test.
        if (glfwGetKey(window, GLFW_KEY_ESCAPE) == GLFW_PRESS || interrupted())
            glfwSetWindowShouldClose(window, GLFW_TRUE);

        const float t = static_cast<float>(glfwGetTime());
        if (renderFrame(scenes, t) == Cue::End) {
            // The show is over: this pass is never presented; the desktop gets its mode back.
            glfwTerminate();
            return 0;
        }

        glfwSwapBuffers(window);
        glfwPollEvents();
    }

    deleteMesh(scenes.screenQuad);
    glfwTerminate();
    return 0;
}
