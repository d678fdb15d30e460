// demo-live benchmark: how long an edit takes to reach the screen, and a seek to reach the ear,
// through the studio's own watcher, reloader, view and music. Each scene's fragment shader is
// edited a few times on a copy of the data; each edit is timed from the file's close to the
// first frame rendered with the new program, split into the watch (close to change seen, at the
// paused studio's pace), the driver's compile and link (the files' reading included), the checks
// and the swap, and the first frame. Then seeks while the tune plays, from the seek to the
// moment the music is heard at the new time. Run it from build/, where the demo's data sit,
// under a display and with an output device (scripts/bench gives it OpenAL Soft's null one).
#include <glad/gl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "clock.hpp"
#include "music_follower.hpp"
#include "platform/gl_context.hpp"
#include "reloader.hpp"
#include "show/show_data.hpp"
#include "stats.hpp"
#include "tooling/command_line.hpp"
#include "track_editor.hpp"
#include "view.hpp"
#include "watcher.hpp"

namespace {

constexpr const char* kUsage = R"(usage: live_bench
Times how long a saved shader takes to reach demo-live's screen and a seek to reach the ear.
Run it from build/, under a display and with a sound output.
)";

namespace fs = std::filesystem;
using bench::Clock;

constexpr int kEditsPerScene = 5;
constexpr double kPreviewScale = 0.5;
// The editor saves this many times its edit's number after the studio starts waiting, so the
// saves fall at different moments of the studio's wait.
constexpr auto kBeforeEdit = std::chrono::microseconds(2300);
// A time in each scene's span, in the table's order: scene 1, 2, 3.
constexpr float kSceneTimes[] = {5.0f, 20.0f, 60.0f};
constexpr int kSeeks = 20;
// Each seek jumps this far on, so the old time can't pass for the new, and stays below this,
// within the tune's first loop (the built tune is 104 s long), where its time is the clock's.
constexpr double kSeekSpan = 50.0;
constexpr double kSeekBelow = 100.0;
constexpr double kHeardWithin = 0.05;  // seconds past the target that count as arrived
constexpr auto kBetweenSeeks = std::chrono::milliseconds(100);
constexpr auto kWarmUp = std::chrono::milliseconds(500);
constexpr auto kSeekLimit = std::chrono::seconds(5);
// One buffer of the music's stream: the time a seek may take to be heard.
constexpr double kBufferMs = SoundEngine::kBufferMs;

constexpr auto msBetween = &bench::elapsed<std::milli>;
// A key dragged reaches the screen within this of the studio's own work, the compile aside.
constexpr double kKeyDragBudgetMs = 100.0;

// The data beside the benchmark, copied into a fresh folder that becomes the working directory.
fs::path copyData()
{
    const fs::path from = fs::current_path();
    const fs::path to = fs::temp_directory_path() / ("live_bench_" + std::to_string(::getpid()));
    fs::create_directories(to);
    std::set<fs::path> items;
    for (const std::string& file : showDataFiles())
        items.insert(*fs::path(file).begin());
    for (const fs::path& item : items)
        fs::copy(from / item, to / item, fs::copy_options::recursive);
    fs::current_path(to);
    return to;
}

struct Edit {
    double watchMs, compileMs, checksMs, firstFrameMs, frameMs;
};

// The fragment shader at `path` with its output dimmed by a factor found in no earlier run:
// a change that survives the compiler's optimisations, so no shader cache holds the result.
std::string edited(const char* path, int edit)
{
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    std::string source = text.str();
    const auto unique = std::chrono::system_clock::now().time_since_epoch().count() % 1000000007 + edit;
    source.insert(source.rfind('}'), "    FragColor.rgb *= 1.0 - 1e-12 * " + std::to_string(unique) + ".0;\n");
    return source;
}

// One edit of `path`, saved in place by another thread (the editor) at a moment of its own,
// while this one waits as the paused studio does; through to the first frame at t.
Edit editAndRedraw(const char* path, int edit, FileWatcher& watcher, Reloader& reloader, const ShowView& view,
                   float t)
{
    const std::string source = edited(path, edit);
    Clock::time_point closed;
    std::thread editor([&] {
        std::this_thread::sleep_for(kBeforeEdit * (edit + 1));
        std::ofstream(path, std::ios::trunc) << source;
        closed = Clock::now();  // the stream is closed at the end of the statement before
    });
    std::vector<std::string> changed;
    while ((changed = watcher.changed()).empty())
        std::this_thread::sleep_for(std::chrono::duration<double>(kIdleWaitSeconds));
    const Clock::time_point seen = Clock::now();
    editor.join();
    reloader.reload(changed);
    const Clock::time_point reloaded = Clock::now();
    view.render(reloader.scenes(), t);
    glFinish();
    const Clock::time_point drawn = Clock::now();
    view.render(reloader.scenes(), t);
    glFinish();
    const double compileMs = reloader.lastReload().compileMs;
    return {msBetween(closed, seen), compileMs, msBetween(seen, reloaded) - compileMs, msBetween(reloaded, drawn),
            msBetween(drawn, Clock::now())};
}

void measureReloads(FileWatcher& watcher, Reloader& reloader, const ShowView& view)
{
    std::printf("reload, file closed to first frame, rendered at %dx%d (median of %d edits each):\n", view.width(),
                view.height(), kEditsPerScene);
    std::printf("  %-34s %8s %9s %8s %9s %10s %9s\n", "edited", "watch", "compile", "checks", "1st frame",
                "all -comp", "a frame");
    for (std::size_t row = 0; row < std::size(kScenePrograms); ++row) {
        std::vector<double> watch, compile, checks, first, steady, total;
        for (int edit = 0; edit < kEditsPerScene; ++edit) {
            const Edit e = editAndRedraw(kScenePrograms[row].fragmentPath, edit, watcher, reloader, view,
                                         kSceneTimes[row]);
            watch.push_back(e.watchMs);
            compile.push_back(e.compileMs);
            checks.push_back(e.checksMs);
            first.push_back(e.firstFrameMs);
            steady.push_back(e.frameMs);
            total.push_back(e.watchMs + e.checksMs + e.firstFrameMs);
        }
        std::printf("  %-34s %5.1f ms %6.1f ms %5.1f ms %6.1f ms %7.1f ms %6.1f ms\n",
                    kScenePrograms[row].fragmentPath, bench::median(watch), bench::median(compile),
                    bench::median(checks), bench::median(first), bench::median(total), bench::median(steady));
    }
}

// A key of the fade dragged on a beat and back, as the lanes save a drag on its release: from the
// release through the save, the watch, the reload and its checks to the first frame drawn with
// it, the driver's compile of the programs that share the edited shader timed apart.
void measureKeyDrags(FileWatcher& watcher, Reloader& reloader, const ShowView& view)
{
    TrackEditor tracks;
    const auto fade = std::find_if(tracks.lanes().begin(), tracks.lanes().end(),
                                   [&](const TrackEditor::Lane& lane) { return tracks.track(lane).name == "fade"; });
    if (fade == tracks.lanes().end())
        throw std::runtime_error("no track named fade to drag");
    const TrackEditor::Lane lane = *fade;
    const std::size_t dragged = 2;  // the fade out of scene 2 begins there
    std::vector<double> own, compile;
    for (int edit = 0; edit < kEditsPerScene; ++edit) {
        TrackKey key = tracks.track(lane).keys.at(dragged);
        key.time += (edit % 2 == 0 ? 1.0f : -1.0f) / tracks.grid(lane).beatsPerSecond;
        const Clock::time_point released = Clock::now();
        tracks.setKey(lane, dragged, key);
        std::vector<std::string> changed;
        while ((changed = watcher.changed()).empty())
            std::this_thread::sleep_for(std::chrono::duration<double>(kIdleWaitSeconds));
        reloader.reload(changed);
        view.render(reloader.scenes(), key.time);
        glFinish();
        compile.push_back(reloader.lastReload().compileMs);
        own.push_back(msBetween(released, Clock::now()) - compile.back());
    }
    const double studio = bench::median(own);
    std::printf("key dragged, release to the first frame with it, rendered at %dx%d (median of %d drags): the\n"
                "studio's own %.1f ms (save, watch, checks, first frame) + the driver's compile %.1f ms;\n"
                "the studio's own under %.0f ms: %s\n",
                view.width(), view.height(), kEditsPerScene, studio, bench::median(compile), kKeyDragBudgetMs,
                studio < kKeyDragBudgetMs ? "met" : "MISSED");
}

void measureSeeks(MusicFollower& music)
{
    LiveClock clock(0.0, true);
    music.follow(clock);
    std::this_thread::sleep_for(kWarmUp);
    std::vector<double> ms;
    for (int i = 0; i < kSeeks; ++i) {
        const double target = std::fmod(clock.time() + kSeekSpan, kSeekBelow);
        const Clock::time_point start = Clock::now();
        Clock::time_point last = start;
        clock.seek(target);
        music.follow(clock);
        for (;;) {
            const Clock::time_point now = Clock::now();
            clock.advance(bench::elapsed(last, now));
            last = now;
            const std::optional<double> heard = music.heardSeconds();
            const double ahead = heard ? *heard - target : -1.0;
            if ((ahead >= 0.0 && ahead < kHeardWithin) || now - start > kSeekLimit)
                break;
            std::this_thread::yield();
        }
        ms.push_back(msBetween(start, Clock::now()));
        std::this_thread::sleep_for(kBetweenSeeks);
    }
    const double slowest = bench::maximum(ms);
    std::printf("seek to sound, the clock's seek to the music heard there: median %.1f ms, max %.1f ms "
                "(%d seeks); a buffer is %.0f ms: %s\n",
                bench::median(ms), slowest, kSeeks, kBufferMs, slowest <= kBufferMs ? "within" : "MISSED");
}

}  // namespace

int main(int argc, char** argv)
{
    operandsOrExit(argc, argv, "live_bench", kUsage, 0, 0);
    // The studio's own reports of each reload would drown the figures.
    std::ostringstream reports;
    const struct Quiet {
        std::streambuf* shown;
        ~Quiet() { std::cout.rdbuf(shown); }
    } quiet{std::cout.rdbuf(reports.rdbuf())};
    try {
        const fs::path data = copyData();
        const std::unique_ptr<GlContext> context = openHiddenWindowContext();
        glEnable(GL_DEPTH_TEST);
        std::unique_ptr<SoundEngine> engine = SoundEngine::open();
        const bool sound = engine != nullptr;
        MusicFollower music(std::move(engine));
        Reloader reloader(music);
        FileWatcher watcher(showDataFiles());
        ShowView view(kPreviewScale);
        measureReloads(watcher, reloader, view);
        view.setPreview(true);
        measureReloads(watcher, reloader, view);
        std::printf("  (compile: the driver's compile, link and first draw of the new program; all -comp:\n"
                    "   watch, checks and first frame; a frame: the same frame rendered again)\n");
        view.setPreview(false);
        measureKeyDrags(watcher, reloader, view);
        if (sound)
            measureSeeks(music);
        else
            std::printf("seek to sound: no output device (scripts/bench gives it OpenAL Soft's null one)\n");
        fs::current_path(data.parent_path());
        fs::remove_all(data);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "live_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
