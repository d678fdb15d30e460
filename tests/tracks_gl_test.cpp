// The tracks' GLSL on a real driver against the C++ reference: a block of a track of each ease,
// a jump (two keys at one time) and a vec3, written as the studio writes it, evaluated by a
// fragment program at times on, just around and between every key, read back as floats.
#include <cmath>
#include <set>

#include "gl_test_support.hpp"
#include "show/mesh.hpp"
#include "show/program_builder.hpp"
#include "show/tracks.hpp"

namespace {

using TracksGl = GlTest;

TrackBlock testBlock()
{
    const auto key = [](float time, float x, Ease ease, float y = 0.0f, float z = 0.0f) {
        return TrackKey{time, {x, y, z}, ease};
    };
    TrackBlock block;
    block.grid = {0.24f, 2.0f, 4};
    const Ease eases[] = {Ease::Step, Ease::Linear, Ease::Smooth, Ease::EaseIn, Ease::EaseOut};
    for (int e = 0; e < kEases; ++e)
        block.tracks.push_back({"ease" + std::to_string(e), 1,
                                {key(1.0f, -2.0f, eases[e]), key(2.5f, 3.0f, eases[e]), key(4.25f, 0.5f, eases[e])}});
    block.tracks.push_back({"jump", 3,
                            {key(0.5f, 1.0f, Ease::Linear, 2.0f, 3.0f), key(20.24f, 5.0f, Ease::Step, 6.0f, 7.0f),
                             key(20.24f, -1.0f, Ease::Smooth, -2.0f, -3.0f), key(108.0f, 9.0f, Ease::Step, 8.0f, 7.0f)}});
    return block;
}

TEST_F(TracksGl, TheWrittenGlslGivesTheReferencesValuesOnAroundAndBetweenEveryKey)
{
    const TrackBlock block = testBlock();
    std::set<float> times = {0.0f, 109.0f};
    for (const Track& track : block.tracks)
        for (std::size_t i = 0; i < track.keys.size(); ++i) {
            const float t = track.keys[i].time;
            for (float near : {t, std::nextafter(t, 0.0f), std::nextafter(t, 200.0f), t - 1.0f / 60.0f, t + 1.0f / 60.0f})
                times.insert(near);
            if (i + 1 < track.keys.size())
                for (float share : {0.25f, 0.5f, 0.75f})
                    times.insert(t + share * (track.keys[i + 1].time - t));
        }
    const std::vector<float> samples(times.begin(), times.end());
    const int columns = int(samples.size());
    const int rows = int(block.tracks.size());

    std::string dispatch;
    for (int row = 0; row < rows; ++row) {
        const Track& track = block.tracks[std::size_t(row)];
        dispatch += "    if (row == " + std::to_string(row) + ") value = " +
                    (track.components == 3 ? "" : "vec3") + "(" + track.name + "Track(t, since));\n";
    }
    const WorkDir dir;
    dir.write("t.vs", "#version 330 core\nlayout(location = 0) in vec3 aPos;\nvoid main() { gl_Position = vec4(aPos, 1.0); }\n");
    dir.write("t.fs", "#version 330 core\nuniform sampler2D times;\nout vec4 result;\n" + writeTrackBlock(block) +
                          "void main()\n{\n    float t = texelFetch(times, ivec2(gl_FragCoord.x, 0), 0).r;\n"
                          "    int row = int(gl_FragCoord.y);\n    float since = 0.0;\n    vec3 value = vec3(0.0);\n" +
                          dispatch + "    result = vec4(value, since);\n}\n");
    const ProgramBuild build = buildProgram("t.vs", "t.fs", BuildLogs::Whole);
    ASSERT_TRUE(build.link.ok) << build.vertex.compile.log << build.fragment.compile.log << build.link.log;

    GLuint textures[2] = {};
    glGenTextures(2, textures);
    glBindTexture(GL_TEXTURE_2D, textures[0]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R32F, columns, 1, 0, GL_RED, GL_FLOAT, samples.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);  // no mipmaps to make it complete
    glBindTexture(GL_TEXTURE_2D, textures[1]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, columns, rows, 0, GL_RGBA, GL_FLOAT, nullptr);
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textures[1], 0);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, columns, rows);
    glDisable(GL_DEPTH_TEST);
    glUseProgram(build.program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textures[0]);
    const Mesh quad = buildScreenQuad();
    glBindVertexArray(quad.vertexArray);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    std::vector<float> results(std::size_t(columns * rows * 4));
    glReadPixels(0, 0, columns, rows, GL_RGBA, GL_FLOAT, results.data());

    const auto close = [](float a, float b) { return std::fabs(a - b) <= 1e-5f * std::max(1.0f, std::fabs(b)); };
    for (int row = 0; row < rows; ++row) {
        const Track& track = block.tracks[std::size_t(row)];
        for (int column = 0; column < columns; ++column) {
            const float t = samples[std::size_t(column)];
            float since = 0.0f;
            const std::array<float, 3> expected = evaluateTrack(track, t, &since);
            const float* got = &results[std::size_t((row * columns + column) * 4)];
            for (int c = 0; c < track.components; ++c)
                EXPECT_TRUE(close(got[c], expected[std::size_t(c)]))
                    << track.name << " at " << t << ": " << got[c] << ", not " << expected[std::size_t(c)];
            EXPECT_TRUE(close(got[3], since)) << track.name << " at " << t << ": " << got[3] << " s since its key, not " << since;
        }
    }
    deleteMesh(quad);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(2, textures);
    glDeleteProgram(build.program);
}

}  // namespace
