// The join; see join.hpp. Each part is read by ffprobe for its tags, its size and the frames it
// really holds (decoded and counted: a part cut short or padded shows there); ffmpeg's concat
// demuxer then reads them in order as one stream, its frames timed at the capture's rate as a
// whole capture's are, through the same filters and encoder.
#include "join.hpp"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "encoder.hpp"
#include "pending_path.hpp"
#include "show/show_data.hpp"
#include "soundtrack.hpp"

namespace {

struct Part {
    long first = 0;
    long frames = 0;
    int fps = 0;
    std::string size;
};

// "key=value" lines, as ffprobe's default writer prints them without wrappers.
std::map<std::string, std::string> fields(const std::string& text)
{
    std::map<std::string, std::string> out;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            out[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return out;
}

Part probe(const std::string& ffprobe, const std::string& path)
{
    const ProgramRun run = runProgram(
        ffprobe, {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                  "stream=width,height,nb_read_frames:format_tags", "-of", "default=noprint_wrappers=1", path});
    std::map<std::string, std::string> found = fields(run.output);
    const std::string tag = "TAG:";
    if (!run.ok || found.count(tag + kPartFrames) == 0)
        throw std::runtime_error(path + " is not a part of a capture (demo-capture --part makes them)");
    Part part{std::atol(found[tag + kPartFirstFrame].c_str()), std::atol(found[tag + kPartFrames].c_str()),
              std::atoi(found[tag + kPartFps].c_str()), found["width"] + "x" + found["height"]};
    const long held = std::atol(found["nb_read_frames"].c_str());
    if (held != part.frames)
        throw std::runtime_error(path + " holds " + std::to_string(held) + " frames, not the " +
                                 std::to_string(part.frames) + " its range has");
    return part;
}

// A path as ffmpeg's concat list quotes it.
std::string quoted(const std::string& path)
{
    std::string out = "'";
    for (char c : path)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

CaptureStats joinParts(const CaptureOptions& options, const std::string& ffmpeg, const std::string& ffprobe,
                       std::FILE* report)
{
    const auto start = std::chrono::steady_clock::now();
    std::vector<Part> parts;
    for (const std::string& path : options.joined) {
        parts.push_back(probe(ffprobe, path));
        const Part& part = parts.back();
        if (parts.size() > 1) {
            const Part& before = parts[parts.size() - 2];
            if (part.fps != before.fps || part.size != before.size)
                throw std::runtime_error(path + " is " + part.size + " at " + std::to_string(part.fps) +
                                         " fps, the part before it " + before.size + " at " + std::to_string(before.fps));
            if (part.first != before.first + before.frames)
                throw std::runtime_error(path + " starts at frame " + std::to_string(part.first) +
                                         ", but the part before it ends before frame " +
                                         std::to_string(before.first + before.frames));
        }
    }
    const long first = parts.front().first;
    const long frames = parts.back().first + parts.back().frames - first;
    const int fps = parts.front().fps;

    PendingPath output(options.out, PendingPath::Kind::File);
    PendingPath soundtrack(options.out, PendingPath::Kind::File, ".wav");
    PendingPath list(options.out, PendingPath::Kind::File, ".ffconcat");
    {
        std::ofstream concat(list.path());
        concat << "ffconcat version 1.0\n";
        for (const std::string& path : options.joined)
            concat << "file " << quoted(std::filesystem::absolute(path).string()) << "\n";
    }
    writeSoundtrack(kTunePath, static_cast<double>(first) / fps, static_cast<double>(frames) / fps, soundtrack.path());
    const double gain = soundtrackGain(options, ffmpeg, soundtrack.path(), report);

    // Timed at the capture's rate as the raw frames of a whole capture are, whatever times the
    // parts' container kept.
    std::vector<std::string> args = {"-hide_banner", "-loglevel", "error", "-nostats", "-r", std::to_string(fps),
                                     "-f", "concat", "-safe", "0", "-i", list.path(), "-i", soundtrack.path(),
                                     "-map", "0:v", "-map", "1:a", "-vf", kToVideo};
    const std::vector<std::string> encoding = mp4Args(options.quality, gain);
    args.insert(args.end(), encoding.begin(), encoding.end());
    args.insert(args.end(), {"-f", "mp4", "-y", output.path()});
    const ProgramRun run = runProgram(ffmpeg, args);
    if (!run.ok)
        throw std::runtime_error("ffmpeg could not join the parts: " + run.output);
    reportEncodedLoudness(ffmpeg, output.path(), report);
    output.commit();
    return {frames, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
}
