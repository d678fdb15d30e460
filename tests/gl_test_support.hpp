// Support for tests that run GL code on a real driver: an off-screen target with an OpenGL
// 3.3 core context, read-back, the frame saved as a PNG when a test fails, and files and
// standard output of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "png_file.hpp"
#include "tooling/offscreen.hpp"

// A fixture whose every test draws into a 64x64 off-screen target with the GL functions
// loaded. If the test failed, TearDown writes the frame to "<suite>.<test>.png" in the working
// directory.
class GlTest : public testing::Test {
protected:
    void TearDown() override;

    static constexpr int kSize = 64;
    OffscreenTarget target_{kSize, kSize};
};

// The driver's whole log for one shader compiled from the source: empty when it says nothing.
std::string compileLog(GLenum type, const std::string& source);

// A fresh directory that becomes the working directory for the object's life, so that
// code reading fixed relative paths ("newshaders/...", "imgs/...") reads the test's files.
class WorkDir {
public:
    WorkDir();
    ~WorkDir();
    // Writes a file, making its directories; the path is relative to this directory.
    void write(const std::string& path, const std::string& contents) const;

private:
    std::filesystem::path previous_ = std::filesystem::current_path();
    std::filesystem::path path_;
};

// Collects what is written to std::cout for the object's life.
class CoutCapture {
public:
    CoutCapture() : previous_(std::cout.rdbuf(captured_.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(previous_); }
    std::string text() const { return captured_.str(); }

private:
    std::ostringstream captured_;
    std::streambuf* previous_;
};
