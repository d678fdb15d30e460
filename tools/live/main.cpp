// demo-live: the show's live studio. Plays the show in a resizable window, drawn by the demo's
// own scene code at 1920x1080 and scaled to fit, with the music in step, on a timeline of its
// own; reloads a shader, the picture or the tune the moment it is saved, keeping the last good
// one and listing what is wrong when it can't be used; edits the show's tracks on lanes under
// its timeline, saving each edit into the shader that holds them; and checks the show's flashes
// again after each reload, marking on the timeline where it flashes too much.
//   demo-live [options]   (see --help)
#include <glad/gl.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "clock.hpp"
#include "controls.hpp"
#include "hud.hpp"
#include "music_follower.hpp"
#include "options.hpp"
#include "platform/gl_context.hpp"
#include "platform/window.hpp"
#include "reloader.hpp"
#include "track_editor.hpp"
#include "show/show_data.hpp"
#include "tooling/command_line.hpp"
#include "tooling/flash_pass.hpp"
#include "view.hpp"
#include "watcher.hpp"

namespace {

constexpr int kFailureStatus = 1;
constexpr int kWindowedWidth = 1280;
constexpr int kWindowedHeight = 720;
constexpr const char* kTitle = "demo-live";
// After input, ImGui settles its hover and drag states over a frame or two more.
constexpr int kFramesAfterInput = 2;
// The flash check takes this much of each turn of the loop until it has seen the whole show,
// and the timeline's marks are brought up to date each second of the show it sees.
constexpr double kFlashCheckSeconds = 0.008;
constexpr double kFlashMarksEvery = 1.0;  // seconds of the show

// A resizable window with an OpenGL 3.3 core context, current; or the primary monitor at its
// current mode.
GLFWwindow* openStudioWindow(bool fullscreen)
{
    requestCoreContext();
    GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    const GLFWvidmode* mode = monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr;
    GLFWwindow* window = mode != nullptr
        ? glfwCreateWindow(mode->width, mode->height, kTitle, monitor, nullptr)
        : glfwCreateWindow(kWindowedWidth, kWindowedHeight, kTitle, nullptr, nullptr);
    if (window != nullptr)
        glfwMakeContextCurrent(window);
    return window;
}

int fail(const char* program, const std::string& why)
{
    std::fprintf(stderr, "%s: %s\n", program, why.c_str());
    return kFailureStatus;
}

}  // namespace

int main(int argc, char** argv)
{
    LiveOptions options;
    std::string error;
    parseLiveOptions(std::vector<std::string>(argv + 1, argv + argc), options, error);
    if (const std::optional<int> status = answerCommandLine(kTitle, liveUsage(), options.help, error))
        return *status;
    if (!options.dataDir.empty() && !enterDataFolder(kTitle, options.dataDir))
        return kUsageStatus;

    if (glfwInit() != GLFW_TRUE)
        return fail(kTitle, "no display to open a window on");
    GLFWwindow* window = openStudioWindow(options.fullscreen);
    if (window == nullptr || !loadGlFunctions(glfwGetProcAddress)) {
        glfwTerminate();
        return fail(kTitle, "no OpenGL 3.3 core context");
    }
    glfwSwapInterval(1);

    int status = 0;
    try {
        MusicFollower music(SoundEngine::open());
        Reloader reloader(music);  // builds and checks everything, listing what is wrong
        FileWatcher watcher(showDataFiles());
        ShowView view(options.previewScale);
        view.setPreview(options.preview);
        LiveClock clock(options.at, !options.paused);
        TrackEditor tracks;
        Studio studio{clock, view, tracks};
        studio.lastTick = glfwGetTime();
        installControls(window, studio);
        Hud hud(window, options.hud);
        studio.hud = &hud;

        std::optional<FlashPass> flashCheck(std::in_place, reloader.scenes());
        FlashMarks flashes;

        double shownTime = -1.0;  // the time of the frame in the view; none yet
        int framesToShow = kFramesAfterInput;
        while (!glfwWindowShouldClose(window)) {
            catchUp(studio);
            const double frameStart = studio.lastTick;
            const std::vector<std::string> changed = watcher.changed();
            for (const std::string& file : changed)
                tracks.refresh(file);
            if (!changed.empty() && reloader.reload(changed)) {
                studio.rerender = true;
                flashCheck.emplace(reloader.scenes());
                flashes = FlashMarks{};
            }
            music.follow(clock);
            if (!flashCheck->done()) {
                const double until = glfwGetTime() + kFlashCheckSeconds;
                while (!flashCheck->advance(1) && glfwGetTime() < until) {}
                // However many frames a turn took: a fast driver checks several.
                const double checkedTo = static_cast<double>(flashCheck->framesDone()) / FlashPass::kFps;
                if (flashCheck->done() || checkedTo >= flashes.checkedTo + kFlashMarksEvery)
                    flashes = {flashCheck->analyser().spans(), checkedTo};
                framesToShow = std::max(framesToShow, 1);
            }

            const bool newFrame = studio.rerender || clock.time() != shownTime;
            if (newFrame) {
                view.render(reloader.scenes(), static_cast<float>(clock.time()));
                shownTime = clock.time();
                studio.rerender = false;
            }
            if (studio.input || !changed.empty())
                framesToShow = kFramesAfterInput;
            studio.input = false;
            if (newFrame || framesToShow > 0) {
                int width = 0;
                int height = 0;
                glfwGetFramebufferSize(window, &width, &height);
                view.present(width, height);
                if (const std::optional<double> seek = hud.draw(clock, view, reloader, music, flashes, tracks)) {
                    catchUp(studio);
                    clock.seek(*seek);
                }
                glfwSwapBuffers(window);
                hud.noteFrameTime((glfwGetTime() - frameStart) * 1000.0);
                framesToShow = std::max(0, framesToShow - 1);
            }
            if (clock.playing() || !flashCheck->done())
                glfwPollEvents();
            else
                glfwWaitEventsTimeout(kIdleWaitSeconds);
        }
    } catch (const std::exception& problem) {
        status = fail(kTitle, problem.what());
    }
    glfwTerminate();
    return status;
}
