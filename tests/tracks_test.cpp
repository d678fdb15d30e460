// The tracks' block as a file holds it, without GL: the shipped shader's block written again is
// the same text; an edit changes the block and nothing outside it; a block broken by hand is
// refused at the line at fault; and the tune's crash follows the cue sheet's key.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cues.hpp"
#include "score.hpp"
#include "show/show_data.hpp"
#include "show/tracks.hpp"

namespace {

std::string shippedVertexShader()
{
    std::ostringstream text;
    text << std::ifstream(std::string(DEMO_DATA) + "/newshaders/SphereTest1.vs").rdbuf();
    return text.str();
}

TEST(Tracks, AnEditRewritesTheBlockAloneAndReadsBack)
{
    const std::string text = shippedVertexShader();
    const TrackSource read = readTracks(text);
    ASSERT_TRUE(read.found);
    ASSERT_TRUE(read.problems.empty()) << read.problems.front().line << ": " << read.problems.front().message;
    EXPECT_EQ(withTrackBlock(text, read, read.block), text) << "the block as the keys write it";

    TrackBlock edited = read.block;
    Track& fade = edited.tracks.at(3);
    ASSERT_EQ(fade.name, "fade");
    fade.keys.insert(fade.keys.begin() + 2, TrackKey{20.24f + 1.0f / 60.0f, {0.3125f, 0.0f, 0.0f}, Ease::EaseOut});
    const std::string written = withTrackBlock(text, read, edited);
    EXPECT_EQ(written.substr(0, read.begin), text.substr(0, read.begin));
    EXPECT_EQ(written.substr(written.size() - (text.size() - read.end)), text.substr(read.end));
    const TrackSource again = readTracks(written);
    ASSERT_TRUE(again.problems.empty()) << again.problems.front().message;
    EXPECT_TRUE(again.block == edited) << "a key a frame off the beat keeps its exact time";
}

TEST(Tracks, ABlockBrokenByHandIsRefusedAtItsLine)
{
    const std::string text = shippedVertexShader();
    const auto lineOf = [&](const std::string& what) {
        const std::size_t at = text.find(what);
        return at == std::string::npos ? -1 : 1 + int(std::count(text.begin(), text.begin() + long(at), '\n'));
    };
    struct Case {
        const char* from;
        const char* to;
        const char* message;
    };
    for (const Case& c : {Case{"float[](10.0, 11.0, 44.4,", "float[](10.0, 11.0, 45.5,", "comes before key"},
                          Case{"108.5);", "110.5);", "outside the show"},
                          Case{"int[](TRACK_SMOOTH, TRACK_STEP, TRACK_SMOOTH,", "int[](TRACK_SMOOTH, TRACK_STEP, TRACK_SPRING,",
                               "unknown ease"},
                          Case{"const int FADE_KEYS = 8;", "const int FADE_KEYS = 7;", "7 keys, but the arrays hold 8"},
                          Case{"k = i;\n    since = t - FADE_TIMES[k];", "k = i + 1;\n    since = t - FADE_TIMES[k];",
                               "as the keys write it"},
                          Case{"// ---- end of tracks ----", "// the end", "has no end"}}) {
        SCOPED_TRACE(c.to);
        std::string broken = text;
        const std::size_t at = broken.find(c.from);
        ASSERT_NE(at, std::string::npos);
        broken.replace(at, std::string(c.from).size(), c.to);
        const TrackSource read = readTracks(broken);
        ASSERT_FALSE(read.problems.empty());
        EXPECT_NE(read.problems.front().message.find(c.message), std::string::npos) << read.problems.front().message;
        const int expected = std::string(c.to) == "// the end" ? lineOf("// ---- tracks:") : lineOf(c.from);
        EXPECT_EQ(read.problems.front().line, expected) << read.problems.front().message;
    }
}

// A cut's crash moved a beat on the cue sheet: the tune's crash moves with it, to the beat at
// which the picture's crash track turns there.
TEST(Tracks, TheTunesCrashFollowsTheCueSheet)
{
    TrackBlock block = readTracks(shippedVertexShader()).block;
    Track& crash = *std::find_if(block.tracks.begin(), block.tracks.end(), [](const Track& t) { return t.name == "crash"; });
    const float from = crash.keys.at(2).time;
    crash.keys.at(2).time = from + 1.0f / block.grid.beatsPerSecond;
    const float picture = crash.keys.at(2).time;
    float since = -1.0f;
    EXPECT_EQ(evaluateTrack(crash, picture, &since)[0], 1.0f);
    EXPECT_EQ(since, 0.0f);
    std::vector<double> crashes;
    for (const synth::Note& note : synth::demoTune(synth::cuesFrom(block)).notes)
        if (note.instrument == synth::Instrument::Crash)
            crashes.push_back(note.beat);
    const double heard = double(picture - block.grid.lag) * double(block.grid.beatsPerSecond);
    EXPECT_NE(std::find(crashes.begin(), crashes.end(), heard), crashes.end()) << "a crash on beat " << heard;
    const double before = double(from - block.grid.lag) * double(block.grid.beatsPerSecond);
    EXPECT_EQ(std::find(crashes.begin(), crashes.end(), before), crashes.end()) << "the crash left beat " << before;
}

}  // namespace
