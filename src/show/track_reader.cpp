// The tracks' block read back; see tracks.hpp. Each line of a block is held against what the
// writer would put there: the arrays are read for their numbers, every other line (the grid
// aside) must be the writer's, so a function that no longer matches its keys is caught.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <regex>
#include <sstream>

#include "show/track_text.hpp"
#include "show/tracks.hpp"

namespace {

using namespace trackText;

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A line with its runs of white space made one space and its ends trimmed.
std::string squeezed(const std::string& line)
{
    std::string out;
    for (char c : line) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

bool readFloat(const std::string& text, float& value)
{
    const std::string word = squeezed(text);
    char* end = nullptr;
    value = std::strtof(word.c_str(), &end);
    return !word.empty() && *end == '\0' && std::isfinite(value);
}

// Splits "a, vec3(b, c, d), e" at its top-level commas.
std::vector<std::string> items(const std::string& list)
{
    std::vector<std::string> out(1);
    int depth = 0;
    for (char c : list) {
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (c == ',' && depth == 0)
            out.emplace_back();
        else
            out.back() += c;
    }
    return squeezed(list).empty() ? std::vector<std::string>{} : out;
}

// Reads the block's lines one by one, each problem at its line of the whole text.
class BlockReader {
public:
    BlockReader(std::vector<std::string> lines, int firstLine, TrackSource& out)
        : lines_(std::move(lines)), firstLine_(firstLine), out_(out)
    {
    }

    void read()
    {
        ++at_;  // the begin marker
        readGrid();
        for (const std::string& expected : linesOf(kPreamble))
            if (!expect(expected))
                return;
        while (out_.problems.empty()) {
            skipBlank();
            if (at_ >= lines_.size() - 1)
                return;  // the end marker
            if (!readTrack())
                return;
        }
    }

private:
    void problem(std::string message) { out_.problems.push_back({firstLine_ + int(at_), std::move(message)}); }

    void skipBlank()
    {
        while (at_ < lines_.size() - 1 && squeezed(lines_[at_]).empty())
            ++at_;
    }

    // The next line, which must be the writer's.
    bool expect(const std::string& expected)
    {
        skipBlank();
        if (at_ >= lines_.size() - 1 || squeezed(lines_[at_]) != squeezed(expected)) {
            problem(at_ >= lines_.size() - 1 ? "the block ends early: expected \"" + expected + "\""
                                             : "expected \"" + expected + "\", as the keys write it");
            return false;
        }
        ++at_;
        return true;
    }

    // The next line against a pattern; its groups, or none after a problem.
    std::smatch match(const std::regex& pattern, const char* what)
    {
        skipBlank();
        std::smatch groups;
        if (at_ >= lines_.size() - 1 || !std::regex_match(lines_[at_], groups, pattern))
            problem(std::string("expected ") + what);
        else
            ++at_;
        return groups;
    }

    void readGrid()
    {
        static const std::regex lag(R"(\s*const float MUSIC_LAG = ([^;]+);\s*)");
        static const std::regex rate(R"(\s*const float BEATS_PER_SECOND = ([^;]+);\s*)");
        static const std::regex bar(R"(\s*const int BEATS_PER_BAR = (\d+);\s*)");
        BeatGrid& grid = out_.block.grid;
        std::smatch m = match(lag, "the music's lag: const float MUSIC_LAG = SECONDS;");
        if (!m.empty() && !readFloat(m[1], grid.lag))
            problem("MUSIC_LAG is not a number");
        m = match(rate, "the tempo: const float BEATS_PER_SECOND = BEATS;");
        if (!m.empty() && (!readFloat(m[1], grid.beatsPerSecond) || grid.beatsPerSecond <= 0.0f))
            problem("BEATS_PER_SECOND is not a number above 0");
        m = match(bar, "the bar: const int BEATS_PER_BAR = BEATS;");
        if (!m.empty() && (grid.beatsPerBar = std::atoi(m[1].str().c_str())) <= 0)
            problem("BEATS_PER_BAR is not a number above 0");
    }

    bool readTrack()
    {
        static const std::regex header(R"(\s*// ([a-z][A-Za-z0-9]*) \((float|vec3)\)\s*)");
        std::smatch m = match(header, "a track: // NAME (float) or // NAME (vec3)");
        if (m.empty())
            return false;
        Track track;
        track.name = m[1];
        track.components = m[2] == "vec3" ? 3 : 1;
        const std::string upper = upperName(track.name);
        const std::string type = typeName(track.components);
        const int headerLine = firstLine_ + int(at_) - 1;

        const int keysLine = firstLine_ + int(at_);
        m = match(std::regex("\\s*const int " + upper + "_KEYS = (\\d+);\\s*"), "const int NAME_KEYS = COUNT;");
        if (m.empty())
            return false;
        const std::size_t count = std::strtoul(m[1].str().c_str(), nullptr, 10);
        const auto array = [&](const std::string& part, const std::string& kind) {
            return match(std::regex("\\s*const " + kind + " " + upper + "_" + part + "\\[" + upper + "_KEYS\\] = " + kind +
                                    "\\[\\]\\((.*)\\);\\s*"),
                         ("the keys' " + std::string(part == "TIMES" ? "times" : part == "VALUES" ? "values" : "eases") +
                          ": const " + kind + " " + upper + "_" + part + "[" + upper + "_KEYS] = " + kind + "[](...);")
                             .c_str());
        };
        const int timesLine = firstLine_ + int(at_);
        const std::smatch times = array("TIMES", "float");
        const std::smatch values = array("VALUES", type);
        const std::smatch eases = array("EASES", "int");
        if (times.empty() || values.empty() || eases.empty())
            return false;
        const std::vector<std::string> timeItems = items(times[1]), valueItems = items(values[1]),
                                       easeItems = items(eases[1]);
        if (count == 0 || timeItems.size() != count || valueItems.size() != count || easeItems.size() != count) {
            out_.problems.push_back({keysLine, track.name + ": " + std::to_string(count) +
                                                    " keys, but the arrays hold " + std::to_string(timeItems.size()) +
                                                    ", " + std::to_string(valueItems.size()) + " and " +
                                                    std::to_string(easeItems.size())});
            return false;
        }
        for (std::size_t i = 0; i < count; ++i) {
            TrackKey key;
            if (!readKey(track, i, timeItems[i], valueItems[i], easeItems[i], timesLine, key))
                return false;
            track.keys.push_back(key);
        }
        for (const std::string& expected : linesOf(trackFunction(track.name, track.components)))
            if (!expect(expected))
                return false;
        if (out_.block.find(track.name) != nullptr) {
            out_.problems.push_back({headerLine, "a second track named " + track.name});
            return false;
        }
        out_.block.tracks.push_back(std::move(track));
        return true;
    }

    bool readKey(const Track& track, std::size_t i, const std::string& time, const std::string& value,
                 const std::string& ease, int timesLine, TrackKey& key)
    {
        const std::string which = track.name + ": key " + std::to_string(i + 1);
        const auto fail = [&](int line, const std::string& why) {
            out_.problems.push_back({line, which + " " + why});
            return false;
        };
        if (!readFloat(time, key.time))
            return fail(timesLine, "has no time it can read (\"" + squeezed(time) + "\")");
        if (key.time < 0.0f || key.time > kTrackTimeLimit)
            return fail(timesLine, "at " + number(key.time) + " s lies outside the show, 0 to 109 s");
        if (!track.keys.empty() && key.time < track.keys.back().time)
            return fail(timesLine, "at " + number(key.time) + " s comes before key " + std::to_string(i) + " at " +
                                       number(track.keys.back().time) + " s");
        std::string inner = squeezed(value);
        if (track.components == 3) {
            if (inner.rfind("vec3(", 0) != 0 || inner.back() != ')')
                return fail(timesLine + 1, "has no vec3 value it can read (\"" + inner + "\")");
            inner = inner.substr(5, inner.size() - 6);
        }
        const std::vector<std::string> parts = track.components == 3 ? items(inner) : std::vector<std::string>{inner};
        for (int c = 0; c < track.components; ++c)
            if (parts.size() != std::size_t(track.components) || !readFloat(parts[std::size_t(c)], key.value[std::size_t(c)]))
                return fail(timesLine + 1, "has no value it can read (\"" + squeezed(value) + "\")");
        const auto known = std::find(std::begin(kEaseConstants), std::end(kEaseConstants), squeezed(ease));
        if (known == std::end(kEaseConstants))
            return fail(timesLine + 2, "has an unknown ease (\"" + squeezed(ease) +
                                           "\"): TRACK_STEP, TRACK_LINEAR, TRACK_SMOOTH, TRACK_EASE_IN or TRACK_EASE_OUT");
        key.ease = Ease(known - std::begin(kEaseConstants));
        return true;
    }

    std::vector<std::string> lines_;
    int firstLine_;
    TrackSource& out_;
    std::size_t at_ = 0;
};

}  // namespace

TrackSource readTracks(const std::string& text)
{
    TrackSource out;
    std::vector<std::string> block;
    int line = 0;
    int firstLine = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t next = std::min(text.find('\n', at), text.size());
        const std::string content = text.substr(at, next - at);
        ++line;
        if (!out.found && content.rfind("// ---- tracks:", 0) == 0) {
            out.found = true;
            out.begin = at;
            firstLine = line;
        }
        if (out.found && out.end == 0)
            block.push_back(content);
        if (out.found && out.end == 0 && squeezed(content) == kEndMarker) {
            out.end = std::min(next + 1, text.size());
            break;
        }
        at = next + 1;
    }
    if (!out.found)
        return out;
    if (out.end == 0) {
        out.problems.push_back({firstLine, "the tracks' block has no end: \"" + std::string(kEndMarker) + "\""});
        return out;
    }
    BlockReader(std::move(block), firstLine, out).read();
    return out;
}
