// The heads-up display; see hud.hpp. Immediate mode: everything is laid out again each frame
// from the clock, the view and the reloader, so the display holds no state of the show's.
#include "hud.hpp"

#include <imgui.h>
#include <imgui_impl_glfw.h>
#include <imgui_impl_opengl3.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <stdexcept>

#include "show/timeline.hpp"

namespace {

constexpr const char* kGlslVersion = "#version 330 core";
constexpr float kMargin = 8.0f;
constexpr float kTimelineHeight = 28.0f;
constexpr float kSceneInset = 5.0f;  // the scenes' bars inside the timeline, above and below
constexpr float kLoopBar = 4.0f;
constexpr float kCursorWidth = 2.0f;
constexpr double kTickSeconds = 10.0;
constexpr float kTickLength = 4.0f;
constexpr float kGraphWidth = 240.0f;
constexpr float kGraphHeight = 36.0f;
constexpr float kProblemsWidthShare = 0.6f;
constexpr float kProblemsHeightShare = 0.5f;
constexpr float kPreviewTextScale = 2.0f;
constexpr float kPanelAlpha = 0.75f;

const ImU32 kSceneColours[] = {IM_COL32(70, 130, 220, 255), IM_COL32(170, 80, 220, 255),
                               IM_COL32(240, 140, 40, 255)};
const ImU32 kGapColour = IM_COL32(0, 0, 0, 255);
const ImU32 kLoopColour = IM_COL32(90, 230, 120, 255);
const ImU32 kLoopOffColour = IM_COL32(90, 230, 120, 90);
const ImU32 kCursorColour = IM_COL32(255, 255, 255, 255);
const ImU32 kTickColour = IM_COL32(160, 160, 160, 255);
const ImU32 kPreviewColour = IM_COL32(255, 70, 70, 255);
const ImU32 kFlashFailColour = IM_COL32(255, 40, 40, 255);
const ImU32 kFlashWarningColour = IM_COL32(255, 200, 40, 255);
const ImU32 kUncheckedColour = IM_COL32(90, 90, 90, 255);
constexpr float kFlashBar = 4.0f;
const ImVec4 kProblemColour(1.0f, 0.45f, 0.4f, 1.0f);
const ImVec4 kWarningColour(1.0f, 0.85f, 0.3f, 1.0f);
const ImVec4 kGoodColour(0.5f, 0.9f, 0.5f, 1.0f);

// The scene at t and its span in seconds, or the black gap.
void sceneReadout(double t)
{
    const Cue cue = demoTimeline(static_cast<float>(t));
    for (const SceneSpan& span : kDemoTimeline) {
        if (span.scene == cue) {
            ImGui::Text("scene %d (%g - %g s)", sceneNumber(cue), static_cast<double>(std::max(0.0f, span.start)),
                        static_cast<double>(span.end));
            return;
        }
    }
    ImGui::TextUnformatted("black");
}

// The whole schedule as a bar; returns the time under the mouse when it is pressed on the bar
// or dragged along it (held still, it leaves the time to run on).
std::optional<double> timeline(const LiveClock& clock, const FlashMarks& flashes)
{
    const ImVec2 origin = ImGui::GetCursorScreenPos();
    const float width = ImGui::GetContentRegionAvail().x;
    ImGui::InvisibleButton("timeline", ImVec2(width, kTimelineHeight));
    const auto xAt = [&](double seconds) { return origin.x + static_cast<float>(seconds / kScheduleSeconds) * width; };
    const float top = origin.y;
    const float bottom = origin.y + kTimelineHeight;

    ImDrawList* draw = ImGui::GetWindowDrawList();
    draw->AddRectFilled(origin, ImVec2(origin.x + width, bottom), kGapColour);
    for (const SceneSpan& span : kDemoTimeline) {
        const float from = xAt(static_cast<double>(std::max(0.0f, span.start)));
        const float to = xAt(static_cast<double>(span.end));
        draw->AddRectFilled(ImVec2(from, top + kSceneInset), ImVec2(to, bottom - kSceneInset),
                            kSceneColours[sceneNumber(span.scene) - 1]);
        char label[8];
        std::snprintf(label, sizeof label, "%d", sceneNumber(span.scene));
        draw->AddText(ImVec2(from + kSceneInset, top + kSceneInset), kCursorColour, label);
    }
    for (double tick = 0.0; tick <= kScheduleSeconds; tick += kTickSeconds)
        draw->AddLine(ImVec2(xAt(tick), bottom - kTickLength), ImVec2(xAt(tick), bottom), kTickColour);
    const LiveClock::Span& loop = clock.loop();
    draw->AddRectFilled(ImVec2(xAt(loop.in), top), ImVec2(xAt(loop.out), top + kLoopBar),
                        loop.on ? kLoopColour : kLoopOffColour);
    // Along the bottom: what the flash check has yet to see, and the spans it found.
    draw->AddRectFilled(ImVec2(xAt(flashes.checkedTo), bottom - kFlashBar), ImVec2(xAt(kScheduleSeconds), bottom),
                        kUncheckedColour);
    for (const FlashSpan& span : flashes.spans)
        draw->AddRectFilled(ImVec2(xAt(span.from), bottom - kFlashBar), ImVec2(xAt(span.to), bottom),
                            span.fails ? kFlashFailColour : kFlashWarningColour);
    const float cursor = xAt(clock.time());
    draw->AddLine(ImVec2(cursor, top), ImVec2(cursor, bottom), kCursorColour, kCursorWidth);

    if (!ImGui::IsItemActivated() && !(ImGui::IsItemActive() && ImGui::GetIO().MouseDelta.x != 0.0f))
        return std::nullopt;
    const float share = (ImGui::GetIO().MousePos.x - origin.x) / width;
    return std::clamp(static_cast<double>(share), 0.0, 1.0) * kScheduleSeconds;
}

// What the flash check says so far.
void flashReadout(const FlashMarks& flashes)
{
    const auto failing = std::count_if(flashes.spans.begin(), flashes.spans.end(),
                                       [](const FlashSpan& span) { return span.fails; });
    const auto over = static_cast<long>(flashes.spans.size()) - failing;
    if (failing > 0)
        ImGui::TextColored(kProblemColour, "| flashes: %ld too many", static_cast<long>(failing));
    else if (over > 0)
        ImGui::TextColored(kWarningColour, "| flashes: %ld over the margin", over);
    else if (flashes.checkedTo < kScheduleSeconds)
        ImGui::Text("| flashes: checked to %.0f s", flashes.checkedTo);
    else
        ImGui::TextColored(kGoodColour, "| flashes: safe");
}

// Where the music is heard, in the tune's own time (it wraps at the tune's length), or why none.
void musicReadout(const LiveClock& clock, const MusicFollower& music)
{
    const std::optional<double> heard = music.heardSeconds();
    if (!music.hasDevice())
        ImGui::TextUnformatted("| no sound device");
    else if (clock.playing() && clock.speed() != 1.0)
        ImGui::TextUnformatted("| music silent off 1x");
    else if (heard)
        ImGui::Text("| tune at %.3f s", *heard);
    else
        ImGui::TextUnformatted("| music silent");
}

void lastReload(const ReloadReport& report)
{
    if (report.files.empty()) {
        ImGui::TextUnformatted("last reload: none yet; edit a shader, the picture or the tune");
        return;
    }
    const std::time_t when = std::chrono::system_clock::to_time_t(report.when);
    char clock[16];
    std::strftime(clock, sizeof clock, "%H:%M:%S", std::localtime(&when));
    ImGui::TextColored(report.ok ? kGoodColour : kProblemColour, "last reload %s: %s: %s", clock,
                       report.files.c_str(), report.outcome.c_str());
    if (report.compileMs > 0.0) {
        ImGui::SameLine();
        ImGui::Text("(compiled in %.1f ms)", report.compileMs);
    }
}

void problemsPanel(const std::vector<Findings::Entry>& problems)
{
    if (problems.empty())
        return;
    // As wide as a long report needs, up to a share of the window, and wrapped there; as high as
    // the reports, up to a share of the window, and scrolled beyond.
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const float width = display.x * kProblemsWidthShare;
    ImGui::SetNextWindowPos(ImVec2(kMargin, kMargin));
    ImGui::SetNextWindowSizeConstraints(ImVec2(0.0f, 0.0f), ImVec2(width, display.y * kProblemsHeightShare));
    ImGui::SetNextWindowBgAlpha(kPanelAlpha);
    ImGui::Begin("problems", nullptr,
                 ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_AlwaysAutoResize);
    ImGui::PushTextWrapPos(width - 2.0f * ImGui::GetStyle().WindowPadding.x);
    for (const Findings::Entry& entry : problems)
        ImGui::TextColored(entry.problem ? kProblemColour : kWarningColour, "%s", entry.text.c_str());
    ImGui::PopTextWrapPos();
    ImGui::End();
}

void previewMark(const ShowView& view)
{
    if (!view.preview())
        return;
    char text[64];
    std::snprintf(text, sizeof text, "PREVIEW %dx%d (%.2f of 1080p)", view.width(), view.height(),
                  view.previewScale());
    ImFont* font = ImGui::GetFont();
    const float size = ImGui::GetFontSize() * kPreviewTextScale;
    const ImVec2 extent = font->CalcTextSizeA(size, FLT_MAX, 0.0f, text);
    const ImVec2 at((ImGui::GetIO().DisplaySize.x - extent.x) / 2.0f, kMargin);
    ImGui::GetForegroundDrawList()->AddText(font, size, at, kPreviewColour, text);
}

}  // namespace

Hud::Hud(GLFWwindow* window, bool shown) : shown_(shown)
{
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr;  // nothing written into the data folder
    ImGui::StyleColorsDark();
    if (!ImGui_ImplGlfw_InitForOpenGL(window, true) || !ImGui_ImplOpenGL3_Init(kGlslVersion)) {
        ImGui::DestroyContext();
        throw std::runtime_error("the heads-up display could not be set up");
    }
}

Hud::~Hud()
{
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplGlfw_Shutdown();
    ImGui::DestroyContext();
}

void Hud::noteFrameTime(double milliseconds)
{
    frameTimes_[nextFrameTime_] = static_cast<float>(milliseconds);
    nextFrameTime_ = (nextFrameTime_ + 1) % kFrameTimes;
}

std::optional<double> Hud::draw(const LiveClock& clock, const ShowView& view, const Reloader& reloader,
                                const MusicFollower& music, const FlashMarks& flashes, TrackEditor& tracks)
{
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplGlfw_NewFrame();
    ImGui::NewFrame();
    previewMark(view);
    std::optional<double> seek;
    if (shown_) {
        problemsPanel(reloader.problems());
        // Anchored at the window's bottom, the lanes last: a lane's place is the same whatever
        // the rest of the display holds.
        const ImVec2 display = ImGui::GetIO().DisplaySize;
        ImGui::SetNextWindowPos(ImVec2(kMargin, display.y - kMargin), ImGuiCond_Always, ImVec2(0.0f, 1.0f));
        ImGui::SetNextWindowSize(ImVec2(display.x - 2.0f * kMargin, 0.0f));
        ImGui::SetNextWindowBgAlpha(kPanelAlpha);
        ImGui::Begin("studio", nullptr,
                     ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize |
                         ImGuiWindowFlags_NoSavedSettings);
        ImGui::Text("%8.3f s  frame %lld", clock.time(), static_cast<long long>(clock.frame()));
        ImGui::SameLine();
        sceneReadout(clock.time());
        ImGui::SameLine();
        ImGui::Text("| %s %gx", clock.playing() ? "playing" : "paused", clock.speed());
        ImGui::SameLine();
        musicReadout(clock, music);
        ImGui::SameLine();
        const LiveClock::Span& loop = clock.loop();
        ImGui::Text("| loop %.2f - %.2f s %s", loop.in, loop.out, loop.on ? "on" : "off");
        ImGui::SameLine();
        flashReadout(flashes);
        const auto latest = static_cast<double>(frameTimes_[(nextFrameTime_ + kFrameTimes - 1) % kFrameTimes]);
        char overlay[32];
        std::snprintf(overlay, sizeof overlay, "%.1f ms", latest);
        ImGui::PlotLines("##frame times", frameTimes_.data(), static_cast<int>(kFrameTimes),
                         static_cast<int>(nextFrameTime_), overlay, 0.0f, FLT_MAX, ImVec2(kGraphWidth, kGraphHeight));
        ImGui::SameLine();
        ImGui::BeginGroup();
        ImGui::Text("frame time, rendered at %dx%d", view.width(), view.height());
        lastReload(reloader.lastReload());
        ImGui::EndGroup();
        seek = timeline(clock, flashes);
        lanes_.draw(clock, tracks);
        ImGui::End();
    }
    ImGui::Render();
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    return seek;
}
