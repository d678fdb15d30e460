// The show's data as the studio holds them: the scenes built from the data files and kept up to
// date as they change. A program, the picture or the tune is replaced only by one that the
// shared diagnostics find fit (a program must build and pass demo-check's interface checks);
// otherwise the show goes on with the last good one and the problems are listed, on standard
// output as they are found and for the heads-up display until the file is fixed.
#pragma once

#include <array>
#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "music_follower.hpp"
#include "show/scenes.hpp"
#include "tooling/program_check.hpp"
#include "tooling/framebuffer.hpp"

// The latest reload, for the heads-up display.
struct ReloadReport {
    std::string files;    // what changed
    std::string outcome;  // what became of it
    bool ok = false;      // everything it fed was replaced
    double compileMs = 0.0;  // the driver's compile, link and first use of the programs rebuilt
    std::chrono::system_clock::time_point when;
};

class Reloader {
public:
    // Builds and checks the three programs, uploads the picture and loads the tune, in a
    // current OpenGL 3.3 core context; what is wrong is reported, and the scenes start with
    // whatever resulted.
    explicit Reloader(MusicFollower& music);

    Scenes& scenes() { return scenes_; }

    // Reloads what the changed files feed (a path of the data table, relative to the working
    // directory). Returns whether the picture of the show may have changed.
    bool reload(const std::vector<std::string>& files);

    // What is wrong now, each report once, programs first.
    const std::vector<Findings::Entry>& problems() const { return problems_; }
    const ReloadReport& lastReload() const { return last_; }

private:
    // What each problem comes from: a row of kScenePrograms, then the picture, then the tune.
    static constexpr std::size_t kPictureSource = std::size(kScenePrograms);
    static constexpr std::size_t kTuneSource = kPictureSource + 1;

    struct Built {
        GLuint program;
        bool fit;
        double compileMs;
    };
    Scenes startScenes();
    void warmUp(Cue scene);
    Built buildRow(std::size_t row);
    GLuint loadPicture();  // a texture, 0 when the picture is unfit
    bool loadTune();
    void found(std::size_t source, Findings findings);

    MusicFollower& music_;
    const ProgramChecker checker_;
    std::array<Findings, kTuneSource + 1> current_;
    std::vector<Findings::Entry> problems_;  // current_'s, without repeats
    std::set<std::string> printed_;  // this reload's reports on standard output so far
    Scenes scenes_;
    const Framebuffer warmUpTarget_{1, 1};
    ReloadReport last_;
};
