// The studio's data and their reloads; see reloader.hpp. The driver's compile is timed apart
// from everything else, since on a software driver it dwarfs the rest; a driver may finish it
// only when the program first draws (Mesa's llvmpipe does), so a new program draws once into a
// single pixel within the timing, and the show's next frame costs what any frame costs.
#include "reloader.hpp"

#include <algorithm>
#include <iomanip>
#include <iostream>

#include "show/program_builder.hpp"
#include "show/timeline.hpp"
#include "show/texture.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool contains(const std::vector<std::string>& files, const char* path)
{
    return std::find(files.begin(), files.end(), path) != files.end();
}

std::string sceneName(const ProgramSpec& spec)
{
    return "scene " + std::to_string(sceneNumber(spec.scene));
}

}  // namespace

Reloader::Reloader(MusicFollower& music) : music_(music), scenes_(startScenes()) {}

Scenes Reloader::startScenes()
{
    std::array<GLuint, std::size(kScenePrograms)> programs{};
    for (std::size_t row = 0; row < programs.size(); ++row)
        programs[row] = buildRow(row).program;  // fit or not: there is nothing older to keep
    GLuint texture = loadPicture();
    if (texture == 0)
        glGenTextures(1, &texture);  // a name with nothing behind it, as the demo has then
    loadTune();
    return assembleScenes(programs, texture);
}

Reloader::Built Reloader::buildRow(std::size_t row)
{
    const ProgramSpec& spec = kScenePrograms[row];
    const Clock::time_point start = Clock::now();
    const ProgramBuild build = buildProgram(spec.vertexPath, spec.fragmentPath, BuildLogs::Whole);
    const double compileMs = millisecondsSince(start);
    Findings findings;
    std::set<std::string> reported;  // each program's report whole, though they share a file
    const bool fit = checker_.check(build, spec, reported, findings);
    found(row, std::move(findings));
    return {build.program, fit, compileMs};
}

void Reloader::warmUp(Cue scene)
{
    glBindFramebuffer(GL_FRAMEBUFFER, warmUpTarget_.name());
    glViewport(0, 0, warmUpTarget_.width(), warmUpTarget_.height());
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawScene(scenes_, scene, 0.0f);
    glFinish();
}

GLuint Reloader::loadPicture()
{
    const Picture picture = readPicture(kImagePath);
    Findings findings;
    const std::string problem = pictureProblem(picture);
    GLuint texture = 0;
    if (!problem.empty()) {
        findings.problem(problem);
    } else {
        glGenTextures(1, &texture);
        uploadPicture(texture, picture);
    }
    found(kPictureSource, std::move(findings));
    return texture;
}

bool Reloader::loadTune()
{
    Findings findings;
    const std::string problem = music_.load();
    if (!problem.empty())
        findings.problem(problem);
    found(kTuneSource, std::move(findings));
    return problem.empty();
}

void Reloader::found(std::size_t source, Findings findings)
{
    for (const Findings::Entry& entry : findings.entries)
        if (printed_.insert(entry.text).second)
            std::cout << entry.text << '\n';
    std::cout.flush();
    current_[source] = std::move(findings);
    problems_.clear();
    std::set<std::string> seen;
    for (const Findings& each : current_)
        for (const Findings::Entry& entry : each.entries)
            if (seen.insert(entry.text).second)
                problems_.push_back(entry);
}

bool Reloader::reload(const std::vector<std::string>& files)
{
    printed_.clear();
    ReloadReport report;
    report.when = std::chrono::system_clock::now();
    report.ok = true;
    bool redraw = false;
    const auto outcome = [&report](const std::string& text) {
        report.outcome += (report.outcome.empty() ? "" : "; ") + text;
    };
    for (std::size_t row = 0; row < std::size(kScenePrograms); ++row) {
        const ProgramSpec& spec = kScenePrograms[row];
        if (!contains(files, spec.vertexPath) && !contains(files, spec.fragmentPath))
            continue;
        const Built built = buildRow(row);
        report.compileMs += built.compileMs;
        if (built.fit) {
            const Clock::time_point start = Clock::now();
            replaceProgram(scenes_, spec.scene, built.program);
            warmUp(spec.scene);
            report.compileMs += millisecondsSince(start);
            redraw = true;
            outcome(sceneName(spec) + " rebuilt");
        } else {
            glDeleteProgram(built.program);
            report.ok = false;
            outcome(sceneName(spec) + " keeps its last good program");
        }
    }
    if (contains(files, kImagePath)) {
        if (const GLuint texture = loadPicture()) {
            glDeleteTextures(1, &scenes_.imageTexture);
            scenes_.imageTexture = texture;
            redraw = true;
            outcome("picture reloaded");
        } else {
            report.ok = false;
            outcome("the picture keeps its last good one");
        }
    }
    if (contains(files, kTunePath)) {
        const bool loaded = loadTune();
        report.ok = report.ok && loaded;
        outcome(loaded ? "tune reloaded" : "the tune keeps its last good one");
    }
    for (const std::string& file : files)
        report.files += (report.files.empty() ? "" : ", ") + file;
    std::cout << "demo-live: " << report.files << ": " << report.outcome;
    if (report.compileMs > 0.0)
        std::cout << " (compiled in " << std::fixed << std::setprecision(1) << report.compileMs << " ms)";
    std::cout << std::endl;
    last_ = std::move(report);
    return redraw;
}
