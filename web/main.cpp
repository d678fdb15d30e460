// The show in a browser: the web build's entry, its only C++ of its own. Start-up makes the
// page's WebGL2 context and loads the scenes with the demo's own code from the page's preloaded
// files, its reports going to the browser's console as the demo's go to standard output; then
// the page's script, which keeps the clock, the music and the cards, asks for each frame.
#include <glad/gl.h>

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "show/picture.hpp"
#include "show/scenes.hpp"
#include "show/show_data.hpp"
#include "show/show_size.hpp"
#include "show/timeline.hpp"
#include "sound/tune_position.hpp"

namespace {

// The page's canvas; its drawing buffer is the show's 1920x1080, whatever size it is shown at.
constexpr const char* kCanvas = "#canvas";

// The page plays the tune compressed: package_data.py encodes it beside the page under the
// tune's name with this suffix.
constexpr const char* kPageTuneSuffix = ".ogg";

// How long before its end each scene is drawn once at start-up: every span is longer.
constexpr float kWarmUpBeforeEnd = 0.5f;

std::optional<Scenes> scenes;  // empty when the browser gives no WebGL2 context

// The browser turns a program into its own pipeline on the program's first draw, which would
// stall the show's first frame of each scene; a draw into one pixel at start-up takes that
// turn before the viewer clicks.
void warmUp(const Scenes& loaded)
{
    glViewport(0, 0, 1, 1);
    for (const SceneSpan& span : kDemoTimeline)
        renderFrame(loaded, span.end - kWarmUpBeforeEnd);
    glViewport(0, 0, kShowWidth, kShowHeight);
}

}  // namespace

int main()
{
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.alpha = false;      // opaque like the demo's window: the page never shows through
    attributes.antialias = false;  // the demo's framebuffer has no multisampling
    emscripten_set_canvas_element_size(kCanvas, kShowWidth, kShowHeight);
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(kCanvas, &attributes);
    if (context <= 0 || emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        std::cout << "Failed to create a WebGL2 context" << std::endl;
        return 1;
    }
    glEnable(GL_DEPTH_TEST);
    scenes.emplace(loadScenes());
    warmUp(*scenes);
    return 0;  // the runtime stays: the page draws each frame through webFrame
}

// What the page's script calls.
extern "C" {

// Whether start-up made the context and the scenes.
EMSCRIPTEN_KEEPALIVE int webReady()
{
    return scenes.has_value() ? 1 : 0;
}

// Draws the frame of demo time t into the canvas; 1 once the show is over (nothing drawn).
EMSCRIPTEN_KEEPALIVE int webFrame(float t)
{
    return scenes && renderFrame(*scenes, t) == Cue::End ? 1 : 0;
}

// Draws the frame of demo time t and reads it back, top row first, as RGBA at the show's size,
// for the page's tests: a pointer into the module's memory, valid until the next call.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* webFramePixels(float t)
{
    static std::vector<std::uint8_t> pixels(std::size_t(kShowWidth) * kShowHeight * 4);
    webFrame(t);
    glReadPixels(0, 0, kShowWidth, kShowHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    flipRows(pixels.data(), std::size_t(kShowWidth) * 4, kShowHeight);
    return pixels.data();
}

// Where the page finds the picture (for its title card) and the tune (which it plays itself).
EMSCRIPTEN_KEEPALIVE const char* webPicturePath()
{
    return kImagePath;
}

EMSCRIPTEN_KEEPALIVE const char* webTunePath()
{
    static const std::string path = [] {
        const std::string wav = kTunePath;
        return wav.substr(0, wav.rfind('.')) + kPageTuneSuffix;
    }();
    return path.c_str();
}

// The frame of a looped tune of `length` frames at `sampleRate` that sounds at demo time t.
// Frame counts travel as doubles, exact to 2^53.
EMSCRIPTEN_KEEPALIVE double webTuneFrame(double t, int sampleRate, double length)
{
    return static_cast<double>(tuneFrameAt(t, sampleRate, static_cast<std::uint64_t>(length)));
}

}  // extern "C"
