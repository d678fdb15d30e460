// Frame-time benchmark of the three scenes: renders evenly spaced frames of each scene's span
// off-screen at the show's 1920x1080 and prints the median and 95th percentile per scene next
// to a yardstick's: the sphere scene as it was before its shots (bench/yardstick/), drawn at the
// same times as today's scene 2. The budget is that no scene costs more than the yardstick. And
// the full-screen scenes with their tracks against the same scenes with the tracks' values set
// as constants each frame: the tracks may cost 3 % at most. Frames of all are taken in turn,
// so a machine that slows down slows them alike, and each frame is drawn twice and timed by the
// faster draw, so that another program's burst of work on the machine doesn't pass for a
// costly frame. Run it from build/, where the demo's data sit.
#include <glad/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "show/program_builder.hpp"
#include "show/scenes.hpp"
#include "show/show_size.hpp"
#include "show/tracks.hpp"
#include "show_spans.hpp"
#include "stats.hpp"
#include "tooling/command_line.hpp"
#include "tooling/offscreen.hpp"

namespace {

using bench::Clock;

constexpr int kDefaultFramesPerScene = 40;
constexpr int kMinFramesPerScene = 2;  // a median needs two
constexpr const char* kUsage = R"(usage: scene_bench [FRAMES]
Renders FRAMES frames (default 40) of each scene off-screen at 1920x1080 and prints each one's
median and 95th percentile frame time against the yardstick's, and the full-screen scenes' with
their tracks against the same values as constants. Run it from build/.
)";
constexpr int kDrawsPerFrame = 2;
constexpr double kP95 = 0.95;
// A frame with the tracks may cost at most this much more than one with their values as constants.
constexpr double kTracksBudget = 1.03;

// Drawn over scene 2's span, as today's scene 2 is.
constexpr ShowSpan kYardstick = {"yardstick", kSceneSpans[1].from, kSceneSpans[1].to};

double frameMs(const Scenes& scenes, float t)
{
    double fastest = 0.0;
    for (int draw = 0; draw < kDrawsPerFrame; ++draw) {
        const Clock::time_point start = Clock::now();
        renderFrame(scenes, t);
        glFinish();
        const double ms = bench::elapsed<std::milli>(start);
        fastest = draw == 0 ? ms : std::min(fastest, ms);
    }
    return fastest;
}

float frameTime(const ShowSpan& span, int i, int frames)
{
    return span.from + (span.to - span.from) * static_cast<float>(i) / static_cast<float>(frames + 1);
}

// The show's scenes with scene 2 drawn by the yardstick's program.
Scenes yardstickScenes()
{
    Scenes scenes = loadScenes();
    const ProgramBuild build = buildProgram(YARDSTICK_DIR "/SphereTest1.vs", YARDSTICK_DIR "/First.fs", BuildLogs::Demo);
    if (!build.sourcesRead() || !build.vertex.compile.ok || !build.fragment.compile.ok || !build.link.ok)
        throw std::runtime_error("the yardstick in " YARDSTICK_DIR " does not build");
    replaceProgram(scenes, Cue::Scene2, build.program);
    return scenes;
}

// The show's scenes with the full-screen scenes' tracks taken out of the vertex stage: each
// track's function returns a uniform, which set() gives the very value the track has at t. The
// same pictures, without the walk over the keys: what the tracks cost against constants.
class ConstantTracks {
public:
    ConstantTracks()
    {
        const ProgramSpec& spec = specOf(Cue::Scene2);
        std::ostringstream text;
        text << std::ifstream(spec.vertexPath).rdbuf();
        const TrackSource read = readTracks(text.str());
        if (!read.found || !read.problems.empty())
            throw std::runtime_error(std::string(spec.vertexPath) + " holds no tracks that read whole");
        block_ = read.block;
        const std::string path = (std::filesystem::temp_directory_path() / "scene_bench_constants.vs").string();
        std::ofstream(path) << text.str().substr(0, read.begin) << uniformsBlock() << text.str().substr(read.end);
        for (Cue scene : {Cue::Scene2, Cue::Scene3}) {
            const ProgramBuild build = buildProgram(path.c_str(), specOf(scene).fragmentPath, BuildLogs::Whole);
            if (!build.link.ok)
                throw std::runtime_error("the tracks as uniforms do not build: " + build.vertex.compile.log);
            replaceProgram(scenes_, scene, build.program);
            programs_.push_back(build.program);
        }
        std::filesystem::remove(path);
    }

    // The scenes, their tracks set to their values at t.
    const Scenes& at(float t) const
    {
        for (GLuint program : programs_) {
            glUseProgram(program);
            for (const Track& track : block_.tracks) {
                float since = 0.0f;
                const std::array<float, 3> value = evaluateTrack(track, t, &since);
                const GLint location = glGetUniformLocation(program, ("u_" + track.name).c_str());
                if (track.components == 3)
                    glUniform3f(location, value[0], value[1], value[2]);
                else
                    glUniform1f(location, value[0]);
                glUniform1f(glGetUniformLocation(program, ("u_" + track.name + "Since").c_str()), since);
            }
        }
        return scenes_;
    }

private:
    static const ProgramSpec& specOf(Cue scene)
    {
        return *std::find_if(std::begin(kScenePrograms), std::end(kScenePrograms),
                             [&](const ProgramSpec& spec) { return spec.scene == scene; });
    }

    std::string uniformsBlock() const
    {
        std::ostringstream glsl;
        glsl << "const float MUSIC_LAG = " << block_.grid.lag << ";\nconst float BEATS_PER_SECOND = "
             << block_.grid.beatsPerSecond << ";\nconst int BEATS_PER_BAR = " << block_.grid.beatsPerBar << ";\n";
        for (const Track& track : block_.tracks) {
            const char* type = track.components == 3 ? "vec3" : "float";
            glsl << "uniform " << type << " u_" << track.name << ";\nuniform float u_" << track.name << "Since;\n"
                 << type << " " << track.name << "Track(float t, out float since)\n{\n    since = u_" << track.name
                 << "Since;\n    return u_" << track.name << ";\n}\n";
        }
        return glsl.str();
    }

    TrackBlock block_;
    Scenes scenes_ = loadScenes();
    std::vector<GLuint> programs_;
};

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    std::string error;
    int frames = kDefaultFramesPerScene;
    if (readCommandLine({argv + 1, argv + argc}, {}, 0, 1, line, error) && !line.operands.empty() &&
        (!readCount(line.operands[0], frames) || frames < kMinFramesPerScene))
        error = badValue("frame count", line.operands[0]) + ": give " + std::to_string(kMinFramesPerScene) + " or more";
    if (const std::optional<int> status = answerCommandLine("scene_bench", kUsage, line.help, error))
        return *status;
    try {
        const OffscreenTarget target(kShowWidth, kShowHeight);
        const Scenes scenes = loadScenes();
        const Scenes yardstick = yardstickScenes();
        const ConstantTracks constants;
        // The driver compiles a program on its first draw.
        for (const ShowSpan& span : kSceneSpans)
            frameMs(scenes, span.from + 0.5f);
        frameMs(yardstick, kYardstick.from + 0.5f);
        for (std::size_t s = 1; s < std::size(kSceneSpans); ++s)
            frameMs(constants.at(kSceneSpans[s].from + 0.5f), kSceneSpans[s].from + 0.5f);

        std::vector<std::vector<double>> times(std::size(kSceneSpans) + 1);
        std::vector<std::vector<double>> constantTimes(std::size(kSceneSpans));
        for (int i = 1; i <= frames; ++i) {
            times.back().push_back(frameMs(yardstick, frameTime(kYardstick, i, frames)));
            for (std::size_t s = 0; s < std::size(kSceneSpans); ++s) {
                const float t = frameTime(kSceneSpans[s], i, frames);
                times[s].push_back(frameMs(scenes, t));
                if (s > 0)  // the full-screen scenes, which hold the tracks
                    constantTimes[s].push_back(frameMs(constants.at(t), t));
            }
        }

        std::printf("%-20s %7s %10s %10s   (%d frames each, %dx%d, %s)\n", "scene", "frames", "median",
                    "p95", frames, target.width(), target.height(),
                    reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        const double yardMedian = bench::median(times.back());
        const double yardP95 = bench::percentile(times.back(), kP95);
        bool within = true;
        for (std::size_t s = 0; s < std::size(kSceneSpans); ++s) {
            const double median = bench::median(times[s]);
            const double p95 = bench::percentile(times[s], kP95);
            within = within && median <= yardMedian && p95 <= yardP95;
            std::printf("%-20s %7d %7.1f ms %7.1f ms   (%.2f, %.2f of the yardstick's)\n", kSceneSpans[s].name, frames,
                        median, p95, median / yardMedian, p95 / yardP95);
        }
        std::printf("%-20s %7d %7.1f ms %7.1f ms   (scene 2 before its shots, over its span)\n", kYardstick.name,
                    frames, yardMedian, yardP95);
        std::printf("budget: each scene's median and p95 at most the yardstick's: %s\n", within ? "met" : "MISSED");
        bool cheap = true;
        std::printf("the tracks against the same values as constants (medians):");
        for (std::size_t s = 1; s < std::size(kSceneSpans); ++s) {
            const double ratio = bench::median(times[s]) / bench::median(constantTimes[s]);
            cheap = cheap && ratio <= kTracksBudget;
            std::printf(" %s %.3fx%s", kSceneSpans[s].name, ratio, s + 1 < std::size(kSceneSpans) ? "," : "");
        }
        std::printf("\nbudget: at most %.2fx: %s\n", kTracksBudget, cheap ? "met" : "MISSED");
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "scene_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
