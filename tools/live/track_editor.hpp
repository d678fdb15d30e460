// The show's tracks as the studio edits them: each shader of the data table that holds a block
// of tracks, its keys added, moved, deleted and given an ease, each edit saved at once into the
// shader file (written aside and renamed, every byte outside the block kept), where the reload
// the studio already has shows it on the next frame; undone and redone over the whole session,
// the file given back byte for byte. A block a person broke by hand keeps its last good tracks,
// and is not edited until it reads whole again.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "show/tracks.hpp"

class TrackEditor {
public:
    // Reads the blocks of the data table's shaders, relative to the working directory.
    TrackEditor();

    // One lane a track, in the files' order and each file's own.
    struct Lane {
        std::size_t file;
        std::size_t track;
    };
    const std::vector<Lane>& lanes() const { return lanes_; }
    const Track& track(const Lane& lane) const;
    const BeatGrid& grid(const Lane& lane) const;
    // Whether the lane's file reads whole, so that it may be edited.
    bool editable(const Lane& lane) const;

    // Reads a file again after it changed on disk (a path of the data table); a block that
    // does not read whole leaves the last good tracks in place.
    void refresh(const std::string& path);

    // The edits; each writes the lane's file and is one step of undo. False, with the reason on
    // standard output, when the file could not be written or the lane's block is broken.
    bool addKey(const Lane& lane, float time);
    bool setKey(const Lane& lane, std::size_t key, const TrackKey& value);
    bool deleteKey(const Lane& lane, std::size_t key);
    bool undo();
    bool redo();

    // The lane's file, for messages.
    const std::string& path(const Lane& lane) const;

private:
    struct File {
        std::string path;
        std::string text;      // as last read or written
        TrackSource read;      // of the last text that read whole
        bool whole = true;     // the text on disk reads whole
    };
    struct Step {
        std::size_t file;
        std::string before;
        std::string after;
    };

    bool edit(const Lane& lane, Track track);
    bool write(std::size_t file, const std::string& text);
    // Takes the latest step of `from` (undone or redone, as `forward` says) over to `to`.
    bool replay(std::vector<Step>& from, std::vector<Step>& to, bool forward);
    bool reapply(const Step& step, bool forward);

    std::vector<File> files_;
    std::vector<Lane> lanes_;
    std::vector<Step> done_;
    std::vector<Step> undone_;
};
