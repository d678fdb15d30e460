// The track lanes; see lanes.hpp. The lanes are one item of the display, drawn and hit-tested
// by hand on the timeline's scale (x from the show's 0 to its end across the content width),
// each lane's values scaled between the least and the most of its keys.
#include "lanes.hpp"

#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float kKeyHalf = 3.5f;      // half a key's square
constexpr float kGrabRadius = 7.0f;   // how near a key the mouse takes it
constexpr float kCurveStep = 2.0f;    // pixels between the curve's samples
constexpr float kRangePad = 0.15f;    // of a lane's range, clear above and below its keys
constexpr float kLabelInset = 4.0f;

// The lanes' colours: lanes in two greys by turns, a broken file's in red; a vec3's curves in
// red, green and blue; keys in amber, the one last touched white.
const struct {
    ImU32 lanes[2] = {IM_COL32(30, 30, 36, 255), IM_COL32(38, 38, 46, 255)};
    ImU32 broken = IM_COL32(70, 25, 25, 255);
    ImU32 curves[3] = {IM_COL32(255, 110, 100, 255), IM_COL32(110, 230, 110, 255), IM_COL32(110, 160, 255, 255)};
    ImU32 curve = IM_COL32(230, 230, 230, 255);
    ImU32 key = IM_COL32(255, 210, 60, 255);
    ImU32 touched = IM_COL32(255, 255, 255, 255);
    ImU32 playhead = IM_COL32(255, 255, 255, 140);
    ImU32 label = IM_COL32(200, 200, 200, 255);
} kColour;

struct Range {
    float low;
    float high;
};

Range rangeOf(const Track& track)
{
    float low = track.keys.front().value[0];
    float high = low;
    for (const TrackKey& key : track.keys)
        for (int c = 0; c < track.components; ++c) {
            low = std::min(low, key.value[std::size_t(c)]);
            high = std::max(high, key.value[std::size_t(c)]);
        }
    const float pad = std::max(high - low, 1.0f) * kRangePad;
    return {low - pad, high + pad};
}

// Where things are on the lanes.
struct Geometry {
    ImVec2 origin;
    float width;
    float x(double t) const { return origin.x + static_cast<float>(t / kScheduleSeconds) * width; }
    float time(float px) const
    {
        return static_cast<float>(static_cast<double>(std::clamp((px - origin.x) / width, 0.0f, 1.0f)) * kScheduleSeconds);
    }
    float top(std::size_t lane) const { return origin.y + float(lane) * Lanes::kLaneHeight; }
    float y(std::size_t lane, const Range& range, float value) const
    {
        const float share = (value - range.low) / (range.high - range.low);
        return top(lane) + Lanes::kLaneHeight * (1.0f - share);
    }
    float value(std::size_t lane, const Range& range, float py) const
    {
        const float share = std::clamp(1.0f - (py - top(lane)) / Lanes::kLaneHeight, 0.0f, 1.0f);
        return range.low + share * (range.high - range.low);
    }
};

// The key of `lane` under the mouse, and which of its components, if any is near enough.
std::optional<std::pair<std::size_t, std::size_t>> keyAt(const Geometry& at, std::size_t lane, const Track& track,
                                                         ImVec2 mouse)
{
    const Range range = rangeOf(track);
    std::optional<std::pair<std::size_t, std::size_t>> nearest;
    float best = kGrabRadius;
    for (std::size_t k = 0; k < track.keys.size(); ++k)
        for (std::size_t c = 0; c < std::size_t(track.components); ++c) {
            const float distance = std::hypot(mouse.x - at.x(double(track.keys[k].time)),
                                              mouse.y - at.y(lane, range, track.keys[k].value[c]));
            if (distance <= best) {
                best = distance;
                nearest = std::make_pair(k, c);
            }
        }
    return nearest;
}

void drawLane(ImDrawList* draw, const Geometry& at, std::size_t lane, const Track& track, bool broken,
              std::optional<std::size_t> touched, double now)
{
    const Range range = rangeOf(track);
    const float top = at.top(lane);
    draw->AddRectFilled(ImVec2(at.origin.x, top), ImVec2(at.origin.x + at.width, top + Lanes::kLaneHeight),
                        broken ? kColour.broken : kColour.lanes[lane % 2]);
    std::vector<ImVec2> curve[3];
    for (float px = at.origin.x; px <= at.origin.x + at.width; px += kCurveStep) {
        const std::array<float, 3> value = evaluateTrack(track, at.time(px));
        for (std::size_t c = 0; c < std::size_t(track.components); ++c)
            curve[c].emplace_back(px, at.y(lane, range, value[c]));
    }
    for (std::size_t c = 0; c < std::size_t(track.components); ++c)
        draw->AddPolyline(curve[c].data(), int(curve[c].size()),
                          track.components == 1 ? kColour.curve : kColour.curves[c], 0, 1.0f);
    for (std::size_t k = 0; k < track.keys.size(); ++k)
        for (std::size_t c = 0; c < std::size_t(track.components); ++c) {
            const ImVec2 centre(at.x(double(track.keys[k].time)), at.y(lane, range, track.keys[k].value[c]));
            draw->AddRectFilled(ImVec2(centre.x - kKeyHalf, centre.y - kKeyHalf),
                                ImVec2(centre.x + kKeyHalf, centre.y + kKeyHalf),
                                touched == k ? kColour.touched : kColour.key);
        }
    const std::array<float, 3> value = evaluateTrack(track, static_cast<float>(now));
    char label[96];
    if (track.components == 1)
        std::snprintf(label, sizeof label, "%s %.3g", track.name.c_str(), double(value[0]));
    else
        std::snprintf(label, sizeof label, "%s %.3g %.3g %.3g", track.name.c_str(), double(value[0]),
                      double(value[1]), double(value[2]));
    draw->AddText(ImVec2(at.origin.x + kLabelInset, top), kColour.label, label);
}

}  // namespace

void Lanes::draw(const LiveClock& clock, TrackEditor& editor)
{
    const std::vector<TrackEditor::Lane> lanes = editor.lanes();
    if (lanes.empty())
        return;
    const Geometry at{ImGui::GetCursorScreenPos(), ImGui::GetContentRegionAvail().x};
    ImGui::InvisibleButton("lanes", ImVec2(at.width, kLaneHeight * float(lanes.size())));
    const ImVec2 mouse = ImGui::GetIO().MousePos;
    const bool free = ImGui::GetIO().KeyShift;  // off the beats
    const auto laneAt = [&](ImVec2 point) {
        return std::min(lanes.size() - 1, std::size_t(std::max(0.0f, (point.y - at.origin.y) / kLaneHeight)));
    };
    const std::size_t under = laneAt(mouse);

    if (ImGui::IsItemActivated()) {
        const std::size_t pressed = laneAt(pressedAt_);
        const Track& track = editor.track(lanes[pressed]);
        if (const auto key = keyAt(at, pressed, track, pressedAt_)) {
            const Range range = rangeOf(track);
            touched_ = Touched{pressed, key->first};
            drag_ = Drag{*touched_, key->second, range.low, range.high, track.keys[key->first]};
        } else {
            const float playhead = static_cast<float>(clock.time());
            const float t = std::clamp(free ? playhead : editor.grid(lanes[pressed]).snap(playhead), 0.0f, kTrackTimeLimit);
            if (editor.addKey(lanes[pressed], t)) {
                const std::vector<TrackKey>& keys = editor.track(lanes[pressed]).keys;
                const auto added = std::find_if(keys.rbegin(), keys.rend(), [&](const TrackKey& k) { return k.time == t; });
                touched_ = Touched{pressed, std::size_t(keys.rend() - added - 1)};
            }
        }
    }
    if (drag_ && ImGui::IsMouseDown(ImGuiMouseButton_Left)) {
        const float t = at.time(mouse.x);
        const float time = std::clamp(free ? t : editor.grid(lanes[drag_->at.lane]).snap(t), 0.0f, kTrackTimeLimit);
        const float value = at.value(drag_->at.lane, Range{drag_->low, drag_->high}, mouse.y);
        drag_->moved = drag_->moved || time != drag_->key.time || value != drag_->key.value[drag_->component];
        drag_->key.time = time;
        drag_->key.value[drag_->component] = value;
    } else if (drag_) {
        if (drag_->moved && editor.setKey(lanes[drag_->at.lane], drag_->at.key, drag_->key)) {
            const std::vector<TrackKey>& keys = editor.track(lanes[drag_->at.lane]).keys;
            touched_->key = std::size_t(std::find(keys.begin(), keys.end(), drag_->key) - keys.begin());
        }
        drag_.reset();
    }
    if (ImGui::IsItemClicked(ImGuiMouseButton_Right)) {
        if (const auto key = keyAt(at, under, editor.track(lanes[under]), mouse)) {
            menu_ = touched_ = Touched{under, key->first};
            ImGui::OpenPopup("key");
        }
    }
    if (ImGui::BeginPopup("key")) {
        if (menu_ && menu_->lane < lanes.size() && menu_->key < editor.track(lanes[menu_->lane]).keys.size()) {
            const TrackEditor::Lane& lane = lanes[menu_->lane];
            TrackKey key = editor.track(lane).keys[menu_->key];
            for (int e = 0; e < kEases; ++e)
                if (ImGui::MenuItem(easeName(Ease(e)), nullptr, key.ease == Ease(e))) {
                    key.ease = Ease(e);
                    editor.setKey(lane, menu_->key, key);
                }
            if (ImGui::MenuItem("delete"))
                deleteTouched(editor);
        }
        ImGui::EndPopup();
    }

    ImDrawList* draw = ImGui::GetWindowDrawList();
    for (std::size_t lane = 0; lane < lanes.size(); ++lane) {
        Track shown = editor.track(lanes[lane]);
        if (drag_ && drag_->at.lane == lane)
            shown.keys[drag_->at.key] = drag_->key;  // as it goes; ordered again when it is saved
        std::stable_sort(shown.keys.begin(), shown.keys.end(),
                         [](const TrackKey& a, const TrackKey& b) { return a.time < b.time; });
        const std::optional<std::size_t> touched =
            touched_ && touched_->lane == lane ? std::optional<std::size_t>(touched_->key) : std::nullopt;
        drawLane(draw, at, lane, shown, !editor.editable(lanes[lane]), drag_ ? std::nullopt : touched, clock.time());
    }
    const float playhead = at.x(clock.time());
    draw->AddLine(ImVec2(playhead, at.origin.y), ImVec2(playhead, at.top(lanes.size())), kColour.playhead);
}

void Lanes::deleteTouched(TrackEditor& editor)
{
    const std::vector<TrackEditor::Lane>& lanes = editor.lanes();
    if (!touched_ || touched_->lane >= lanes.size() || touched_->key >= editor.track(lanes[touched_->lane]).keys.size())
        return;
    if (editor.deleteKey(lanes[touched_->lane], touched_->key))
        touched_.reset();
}
