// Support for tests that run GL code on a real driver: a hidden window with an OpenGL 3.3
// core context, pixel read-back, and the frame saved as a PNG when a test fails.
#pragma once

#include <glad/gl.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

using Rgba = std::array<std::uint8_t, 4>;

// A fixture whose every test has a current context on a hidden window of the given size,
// with the GL functions loaded. If the test failed, TearDown writes the framebuffer to
// "<suite>.<test>.png" in the working directory.
class GlTest : public testing::Test {
protected:
    explicit GlTest(int width = 64, int height = 64) : width_(width), height_(height) {}
    void SetUp() override;
    void TearDown() override;

    // Reads the colour buffer (row 0 at the bottom, as OpenGL stores it).
    std::vector<Rgba> readFrame() const;
    Rgba pixel(int x, int y) const;

    GLFWwindow* window_ = nullptr;
    int width_;
    int height_;
};

// Writes an RGBA frame read from OpenGL to a PNG, flipped so that the top row comes first.
void writeFramePng(const char* path, int width, int height, const std::vector<Rgba>& frame);

// The bytes of a PNG file of the given pixels, top row first, rows tightly packed.
std::string pngFile(int width, int height, int channels, const void* pixels);

// True when every channel of a and b differs by at most tolerance.
bool near(const Rgba& a, const Rgba& b, int tolerance = 2);

// A fresh directory that becomes the working directory for the object's life, so that
// code reading fixed relative paths ("newshaders/...", "imgs/...") reads the test's files.
class WorkDir {
public:
    WorkDir();
    ~WorkDir();
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    // Writes a file, making its directories; the path is relative to this directory.
    void write(const std::string& path, const std::string& contents) const;

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// Collects what is written to std::cout for the object's life.
class CoutCapture {
public:
    CoutCapture();
    ~CoutCapture();
    CoutCapture(const CoutCapture&) = delete;
    CoutCapture& operator=(const CoutCapture&) = delete;

    std::string text() const { return captured_.str(); }

private:
    std::ostringstream captured_;
    std::streambuf* previous_;
};
