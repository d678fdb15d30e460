// The frame loop asks for no heap memory: after each scene's first pass, which may warm up
// the driver, many more passes make no request on the drawing thread outside the GL driver.
// The GL calls of a pass are wrapped so that whatever the driver allocates inside them (its
// own business) is not counted; everything else on the thread is the project's code.
#include <glad/gl.h>
#include <gtest/gtest.h>

#include "allocation_probe.hpp"
#include "show/scenes.hpp"
#include "tooling/offscreen.hpp"

namespace {

constexpr int kPasses = 200;
constexpr float kPassStep = 0.004f;  // stays well within the shortest span, a black second

// Stands in for one of glad's function pointers: calls the driver with counting off.
template <auto Slot, typename Function>
struct DriverCall;
template <auto Slot, typename R, typename... Args>
struct DriverCall<Slot, R (*)(Args...)> {
    static inline R (*real)(Args...) = nullptr;
    static R call(Args... args) { const UncountedAllocations driver; return real(args...); }
    static void install() { real = *Slot; *Slot = &call; }
    static void remove() { *Slot = real; }
};

// Every GL function a pass reaches; one missing here would count the driver's requests
// against the project, so a new call in the frame loop fails the test until it is listed.
#define DEMO_FRAME_GL_CALLS(X) \
    X(glClearColor) X(glClear) X(glUseProgram) X(glGetUniformLocation) X(glUniform1f) \
    X(glUniform2f) X(glUniformMatrix4fv) X(glBindVertexArray) X(glActiveTexture) \
    X(glBindTexture) X(glDrawElements)
#define DEMO_INSTALL(name) DriverCall<&glad_##name, decltype(glad_##name)>::install();
#define DEMO_REMOVE(name) DriverCall<&glad_##name, decltype(glad_##name)>::remove();

struct DriverCallsUncounted {
    DriverCallsUncounted() { DEMO_FRAME_GL_CALLS(DEMO_INSTALL) }
    ~DriverCallsUncounted() { DEMO_FRAME_GL_CALLS(DEMO_REMOVE) }
};

TEST(FrameLoop, NoHeapRequestAfterTheFirstPassOfEachSpan)
{
    OffscreenTarget target(160, 90);  // small: what a pass allocates does not depend on its size
    const Scenes scenes = loadScenes();
    const DriverCallsUncounted driver;
    // A time inside each span of the show, the black ones included.
    for (const float start : {1.0f, 9.1f, 10.5f, 45.1f, 46.5f, 107.0f}) {
        SCOPED_TRACE(start);
        renderFrame(scenes, start);
        glFinish();
        const std::size_t before = allocationsOnThisThread();
        for (int pass = 1; pass <= kPasses; ++pass)
            renderFrame(scenes, start + kPassStep * static_cast<float>(pass));
        EXPECT_EQ(allocationsOnThisThread() - before, 0u);
        glFinish();
    }
}

}  // namespace
