// The studio's keys; see controls.hpp. GLFW names keys by their place on a US keyboard.
#include "controls.hpp"

#include <GLFW/glfw3.h>

#include "hud.hpp"

namespace {

constexpr double kSeekSeconds = 1.0;
constexpr double kLongSeekSeconds = 5.0;

Studio& studioOf(GLFWwindow* window)
{
    return *static_cast<Studio*>(glfwGetWindowUserPointer(window));
}

}  // namespace

void catchUp(Studio& studio)
{
    const double now = glfwGetTime();
    studio.clock.advance(now - studio.lastTick);
    studio.lastTick = now;
}

void pressKey(Studio& studio, GLFWwindow* window, int key, int action, int mods)
{
    LiveClock& clock = studio.clock;
    const double seek = (mods & GLFW_MOD_SHIFT) != 0 ? kLongSeekSeconds : kSeekSeconds;
    if (action == GLFW_REPEAT) {
        // Only moving in time repeats while the key is held.
        if (key != GLFW_KEY_LEFT && key != GLFW_KEY_RIGHT && key != GLFW_KEY_COMMA && key != GLFW_KEY_PERIOD)
            return;
    } else if (action != GLFW_PRESS) {
        return;
    }
    switch (key) {
    case GLFW_KEY_ESCAPE: glfwSetWindowShouldClose(window, GLFW_TRUE); break;
    case GLFW_KEY_SPACE: clock.setPlaying(!clock.playing()); break;
    case GLFW_KEY_LEFT: clock.seek(clock.time() - seek); break;
    case GLFW_KEY_RIGHT: clock.seek(clock.time() + seek); break;
    case GLFW_KEY_COMMA: clock.step(-1); break;
    case GLFW_KEY_PERIOD: clock.step(1); break;
    case GLFW_KEY_HOME: clock.seek(0.0); break;
    case GLFW_KEY_1: clock.seek(sceneStart(Cue::Scene1)); break;
    case GLFW_KEY_2: clock.seek(sceneStart(Cue::Scene2)); break;
    case GLFW_KEY_3: clock.seek(sceneStart(Cue::Scene3)); break;
    case GLFW_KEY_I: clock.setIn(); break;
    case GLFW_KEY_O: clock.setOut(); break;
    case GLFW_KEY_L: clock.toggleLoop(); break;
    case GLFW_KEY_LEFT_BRACKET: clock.slower(); break;
    case GLFW_KEY_RIGHT_BRACKET: clock.faster(); break;
    case GLFW_KEY_P:
        studio.view.setPreview(!studio.view.preview());
        studio.rerender = true;
        break;
    case GLFW_KEY_H:
        if (studio.hud != nullptr)
            studio.hud->toggle();
        break;
    case GLFW_KEY_Z:  // the tracks' edits: Ctrl+Z undoes, Ctrl+Shift+Z redoes
        if ((mods & GLFW_MOD_CONTROL) != 0)
            (mods & GLFW_MOD_SHIFT) != 0 ? studio.tracks.redo() : studio.tracks.undo();
        break;
    case GLFW_KEY_DELETE:
        if (studio.hud != nullptr)
            studio.hud->deleteTouchedKey(studio.tracks);
        break;
    default: break;
    }
}

void installControls(GLFWwindow* window, Studio& studio)
{
    glfwSetWindowUserPointer(window, &studio);
    glfwSetKeyCallback(window, [](GLFWwindow* w, int key, int /*scancode*/, int action, int mods) {
        studioOf(w).input = true;
        catchUp(studioOf(w));
        pressKey(studioOf(w), w, key, action, mods);
    });
    glfwSetCursorPosCallback(window, [](GLFWwindow* w, double x, double y) {
        studioOf(w).input = true;
        studioOf(w).cursor = {x, y};
    });
    glfwSetMouseButtonCallback(window, [](GLFWwindow* w, int button, int action, int) {
        Studio& pressed = studioOf(w);
        pressed.input = true;
        // Where it went down, as the events came (the window system's pointer, and the next frame
        // drawn, may have moved on): a slow frame must not move a press off the key it was on.
        if (button == GLFW_MOUSE_BUTTON_LEFT && action == GLFW_PRESS && pressed.hud != nullptr)
            pressed.hud->notePress(pressed.cursor[0], pressed.cursor[1]);
    });
    glfwSetScrollCallback(window, [](GLFWwindow* w, double, double) { studioOf(w).input = true; });
    glfwSetWindowRefreshCallback(window, [](GLFWwindow* w) { studioOf(w).input = true; });
    glfwSetFramebufferSizeCallback(window, [](GLFWwindow* w, int, int) { studioOf(w).input = true; });
}
