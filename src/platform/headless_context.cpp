// The display-less context on Linux: OpenGL through EGL with no surface; see
// headless_context.hpp. Drawing goes to framebuffer objects, so the context is made current with
// no surface (EGL_KHR_surfaceless_context) and its config is only asked to support OpenGL.
#include "platform/headless_context.hpp"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>
#include <stdexcept>

namespace {

bool hasExtension(EGLDisplay display, const char* name)
{
    const char* list = eglQueryString(display, EGL_EXTENSIONS);
    if (list == nullptr)
        return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + length, name))
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0'))
            return true;
    return false;
}

// The first device that EGL lists, as a display; EGL_NO_DISPLAY when there is none.
EGLDisplay firstDeviceDisplay()
{
    if (!hasExtension(EGL_NO_DISPLAY, "EGL_EXT_platform_device"))
        return EGL_NO_DISPLAY;
    const auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    EGLDeviceEXT device = nullptr;
    EGLint count = 0;
    if (queryDevices == nullptr || queryDevices(1, &device, &count) != EGL_TRUE || count < 1)
        return EGL_NO_DISPLAY;
    return eglGetPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
}

// An initialised display of the surfaceless platform, else of the first device.
EGLDisplay openDisplay()
{
    if (hasExtension(EGL_NO_DISPLAY, "EGL_MESA_platform_surfaceless")) {
        EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr) == EGL_TRUE)
            return display;
    }
    EGLDisplay display = firstDeviceDisplay();
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr) == EGL_TRUE)
        return display;
    throw std::runtime_error("EGL has no surfaceless platform and no device to draw on");
}

class EglContext : public GlContext {
public:
    EglContext() : display_(openDisplay())
    {
        try {
            if (!hasExtension(display_, "EGL_KHR_surfaceless_context"))
                throw std::runtime_error("EGL cannot make a context current without a surface");
            if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE)
                throw std::runtime_error("EGL offers no desktop OpenGL");
            const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, 0, EGL_NONE};
            EGLConfig config = nullptr;
            EGLint configs = 0;
            if (eglChooseConfig(display_, configAttributes, &config, 1, &configs) != EGL_TRUE || configs < 1)
                throw std::runtime_error("EGL has no OpenGL config");
            const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                                EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                                EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
            context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, contextAttributes);
            if (context_ == EGL_NO_CONTEXT)
                throw std::runtime_error("no OpenGL 3.3 core context through EGL");
            if (eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) != EGL_TRUE)
                throw std::runtime_error("the EGL context cannot be made current");
            if (!loadGlFunctions(eglGetProcAddress))
                throw std::runtime_error("the OpenGL functions could not be loaded");
        } catch (...) {
            release();
            throw;
        }
    }
    ~EglContext() override { release(); }
    EglContext(const EglContext&) = delete;
    EglContext& operator=(const EglContext&) = delete;

private:
    void release()
    {
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (context_ != EGL_NO_CONTEXT)
            eglDestroyContext(display_, context_);
        eglTerminate(display_);
        eglReleaseThread();
    }

    EGLDisplay display_;
    EGLContext context_ = EGL_NO_CONTEXT;
};

}  // namespace

std::unique_ptr<GlContext> openHeadlessContext()
{
    return std::make_unique<EglContext>();
}
