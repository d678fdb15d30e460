// The studio's edits of the tracks; see track_editor.hpp. Each edit is the file's whole text
// before and after it, so an undo gives the file back byte for byte, and is refused when the
// file has changed since (by hand, say) rather than lose that change.
#include "track_editor.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "show/show_data.hpp"

namespace {

std::optional<std::string> fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void say(const std::string& path, const std::string& what)
{
    std::cout << "demo-live: " << path << ": " << what << std::endl;
}

std::string seconds(float t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(t));
    return text;
}

}  // namespace

TrackEditor::TrackEditor()
{
    for (const ProgramSpec& program : kScenePrograms)
        for (const char* path : {program.vertexPath, program.fragmentPath})
            refresh(path);
}

const Track& TrackEditor::track(const Lane& lane) const
{
    return files_[lane.file].read.block.tracks[lane.track];
}

const BeatGrid& TrackEditor::grid(const Lane& lane) const
{
    return files_[lane.file].read.block.grid;
}

bool TrackEditor::editable(const Lane& lane) const
{
    return files_[lane.file].whole;
}

const std::string& TrackEditor::path(const Lane& lane) const
{
    return files_[lane.file].path;
}

void TrackEditor::refresh(const std::string& path)
{
    auto file = std::find_if(files_.begin(), files_.end(), [&](const File& f) { return f.path == path; });
    const std::optional<std::string> text = fileText(path);
    const TrackSource read = readTracks(text.value_or(""));
    if (file == files_.end()) {
        if (!read.found || !read.problems.empty())
            return;  // a shader without tracks, or one met broken: nothing to show of it yet
        files_.push_back({path, *text, read, true});
    } else if (text && *text != file->text) {
        file->text = *text;
        file->whole = read.found && read.problems.empty();
        if (file->whole)
            file->read = read;
    }
    lanes_.clear();
    for (std::size_t f = 0; f < files_.size(); ++f)
        for (std::size_t t = 0; t < files_[f].read.block.tracks.size(); ++t)
            lanes_.push_back({f, t});
}

bool TrackEditor::addKey(const Lane& lane, float time)
{
    Track changed = track(lane);
    TrackKey key;
    key.time = std::clamp(time, 0.0f, kTrackTimeLimit);
    key.value = evaluateTrack(changed, key.time);
    const auto after = std::upper_bound(changed.keys.begin(), changed.keys.end(), key.time,
                                        [](float t, const TrackKey& k) { return t < k.time; });
    key.ease = after == changed.keys.begin() ? Ease::Step : std::prev(after)->ease;
    changed.keys.insert(after, key);
    if (!edit(lane, std::move(changed)))
        return false;
    say(path(lane), track(lane).name + ": key added at " + seconds(key.time));
    return true;
}

bool TrackEditor::setKey(const Lane& lane, std::size_t index, const TrackKey& key)
{
    Track changed = track(lane);
    changed.keys.at(index) = key;
    changed.keys.at(index).time = std::clamp(key.time, 0.0f, kTrackTimeLimit);
    std::stable_sort(changed.keys.begin(), changed.keys.end(),
                     [](const TrackKey& a, const TrackKey& b) { return a.time < b.time; });
    if (!edit(lane, std::move(changed)))
        return false;
    say(path(lane), track(lane).name + ": key at " + seconds(key.time) + ", " + easeName(key.ease));
    return true;
}

bool TrackEditor::deleteKey(const Lane& lane, std::size_t index)
{
    Track changed = track(lane);
    if (changed.keys.size() < 2) {
        say(path(lane), changed.name + ": a track keeps one key at least");
        return false;
    }
    changed.keys.erase(changed.keys.begin() + long(index));
    if (!edit(lane, std::move(changed)))
        return false;
    say(path(lane), track(lane).name + ": key " + std::to_string(index + 1) + " deleted");
    return true;
}

bool TrackEditor::edit(const Lane& lane, Track track)
{
    File& file = files_[lane.file];
    if (!file.whole) {
        say(file.path, "its tracks do not read whole: mend the file first (its problems are listed)");
        return false;
    }
    TrackBlock block = file.read.block;
    block.tracks[lane.track] = std::move(track);
    const Step step{lane.file, file.text, withTrackBlock(file.text, file.read, block)};
    if (!write(lane.file, step.after))
        return false;
    done_.push_back(step);
    undone_.clear();
    return true;
}

bool TrackEditor::undo()
{
    return replay(done_, undone_, false);
}

bool TrackEditor::redo()
{
    return replay(undone_, done_, true);
}

bool TrackEditor::replay(std::vector<Step>& from, std::vector<Step>& to, bool forward)
{
    if (from.empty() || !reapply(from.back(), forward))
        return false;
    to.push_back(from.back());
    from.pop_back();
    return true;
}

bool TrackEditor::reapply(const Step& step, bool forward)
{
    const File& file = files_[step.file];
    if (fileText(file.path) != (forward ? step.before : step.after)) {
        say(file.path, std::string(forward ? "redo" : "undo") + " refused: the file has changed since");
        return false;
    }
    if (!write(step.file, forward ? step.after : step.before))
        return false;
    say(file.path, forward ? "edit redone" : "edit undone");
    return true;
}

bool TrackEditor::write(std::size_t index, const std::string& text)
{
    File& file = files_[index];
    // Beside the file, so that the rename stays on its file system and replaces it whole: the
    // watcher sees one change, and a reader never meets half a file.
    const std::string aside = file.path + ".tracks-new";
    {
        std::ofstream out(aside, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            say(file.path, "cannot write " + aside + ": " + std::strerror(errno));
            std::remove(aside.c_str());
            return false;
        }
    }
    if (std::rename(aside.c_str(), file.path.c_str()) != 0) {
        say(file.path, std::string("cannot replace it: ") + std::strerror(errno));
        std::remove(aside.c_str());
        return false;
    }
    file.text = text;
    file.read = readTracks(text);
    file.whole = file.read.problems.empty();
    return true;
}
