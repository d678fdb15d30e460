// demo-check as its users run it on broken data: the report must name the file (and line)
// at fault and the status must say so.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "gl_test_support.hpp"
#include "show/show_data.hpp"

namespace {

namespace fs = std::filesystem;

struct CheckRun {
    int status;
    std::string output;
};

std::string fileText(const fs::path& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// Edits a file in place with a sed script, e.g. "20i\\text" puts a line before line 20.
void sed(const std::string& script, const char* file)
{
    ASSERT_EQ(std::system(("sed -i '" + script + "' " + file).c_str()), 0) << script;
}

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Runs in a fresh copy of the built data, which each test breaks on purpose.
class DemoCheck : public testing::Test {
protected:
    DemoCheck()
    {
        // Each top-level folder or file the show reads from, copied whole.
        std::set<fs::path> items;
        for (const std::string& file : showDataFiles())
            items.insert(*fs::path(file).begin());
        for (const fs::path& item : items)
            fs::copy(fs::path(DEMO_DATA) / item, item, fs::copy_options::recursive);
    }
    // Bounded: a reader that waits on a FIFO would otherwise hold the suite up until ctest's limit.
    static CheckRun run()
    {
        const int status = std::system("timeout 60 '" DEMO_CHECK "' . >check.out 2>&1");
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, fileText("check.out")};
    }
    WorkDir dir_;
};

TEST_F(DemoCheck, TheShippedDataPassWithOneSummaryLine)
{
    const CheckRun result = run();
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output.rfind("demo-check: all good: 3 scene programs (also as GLSL ES), picture ", 0), 0u)
        << result.output;
    EXPECT_EQ(occurrences(result.output, "\n"), 1u) << result.output;
}

TEST_F(DemoCheck, CompileErrorsNameTheirOwnFileAndLineAndQuoteIt)
{
    sed("20i\\    float broken = ;", "newshaders/Second3.fs");
    sed("7i\\vec3 lost = undeclaredThing;", "newshaders/SphereTest1.vs");
    // Desktop GLSL converts the int to a float; GLSL ES, which the web build compiles, does not.
    sed("2i\\float desktopOnly = 1;", "newshaders/pointTest15-texture.fs");
    const CheckRun result = run();
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("newshaders/Second3.fs:20: error: syntax error"), std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("\n    float broken = ;\n"), std::string::npos) << result.output;
    // Both screen programs share the vertex file: its fault is its own, and reported once.
    EXPECT_EQ(occurrences(result.output, "newshaders/SphereTest1.vs:7: error: "), 1u) << result.output;
    EXPECT_NE(result.output.find("\n    vec3 lost = undeclaredThing;\n"), std::string::npos);
    EXPECT_NE(result.output.find("newshaders/pointTest15-texture.fs:2: as GLSL ES for the web build: error: "),
              std::string::npos) << result.output;
    EXPECT_NE(result.output.find("\n    float desktopOnly = 1;\n"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("First.fs"), std::string::npos) << "an innocent file blamed";
    EXPECT_EQ(result.output.find("ERROR::"), std::string::npos) << "the demo's own report leaked";
}

TEST_F(DemoCheck, InterfaceFaultsAreNamedWithTheirPrograms)
{
    sed("s/location = 0/location = 3/g", "newshaders/pointTest3-texture.vs");
    sed("s/u_time/u_time.x/g; s/uniform float u_time.x;/uniform vec2 u_time;/", "newshaders/pointTest15-texture.fs");
    sed("s/void main()/void mainImage()/", "newshaders/First.fs");
    sed("s/u_resolution/u_size/g", "newshaders/Second3.fs");
    const CheckRun result = run();
    EXPECT_EQ(result.status, 1);
    for (const char* expected : {
             "newshaders/pointTest3-texture.vs: attribute \"aPos\" reads location 3, which texturedQuad "
             "does not feed",
             "newshaders/pointTest3-texture.vs: no attribute reads the position",
             "newshaders/pointTest3-texture.vs + newshaders/pointTest15-texture.fs: uniform \"u_time\" "
             "is a vec2, but the demo sets a float",
             "newshaders/SphereTest1.vs + newshaders/First.fs: error: ",
             "newshaders/SphereTest1.vs + newshaders/Second3.fs: uniform \"u_resolution\" (vec2) is "
             "not active"})
        EXPECT_NE(result.output.find(expected), std::string::npos) << expected << "\n" << result.output;
    EXPECT_NE(result.output.find("\ndemo-check: 5 problems\n"), std::string::npos) << result.output;
}

TEST_F(DemoCheck, MissingFilesAndFifosAreEachNamedOnceAtOnce)
{
    // A FIFO that no one writes must not keep the check waiting.
    ASSERT_EQ(std::system("rm newshaders/First.fs imgs/officialmolvanian2.png demotune.wav && "
                          "mkfifo newshaders/First.fs demotune.wav"), 0);
    const CheckRun result = run();
    EXPECT_EQ(result.status, 1);
    for (const char* expected : {"newshaders/First.fs: cannot be read (not a regular file)",
                                 "imgs/officialmolvanian2.png: cannot be read (No such file or directory)",
                                 "demotune.wav: cannot be read (not a regular file)"})
        EXPECT_EQ(occurrences(result.output, expected), 1u) << expected << "\n" << result.output;
    EXPECT_NE(result.output.find("\ndemo-check: 3 problems\n"), std::string::npos) << result.output;
}

// Scene 2 made to strobe 8 times a second: the flash check fails it within scene 2's span, and
// finds nothing anywhere else in the show, not even over the show's own margin.
TEST_F(DemoCheck, FlashesAreFoundWhereTheShowStrobesAndNowhereElse)
{
    sed("$ s/^}$/    FragColor.rgb *= step(0.5, fract(u_time * 8.0));\\n}/", "newshaders/First.fs");
    const int status = std::system("'" DEMO_CHECK "' --flashes . >check.out 2>/dev/null");
    const std::string output = fileText("check.out");
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1) << output;
    std::istringstream lines(output);
    int failing = 0;
    for (std::string line; std::getline(lines, line);) {
        double from = 0.0, to = 0.0;
        if (std::sscanf(line.c_str(), "flashes: %lf\u2013%lf s", &from, &to) != 2)
            continue;
        // A span ends with the last second (or five) that still hold some of the strobe.
        EXPECT_TRUE(from >= 10.0 && to <= 47.0) << line;
        failing += line.find("general flashes in a second (limit 3)") != std::string::npos;
    }
    EXPECT_GT(failing, 0) << output;
}

}  // namespace
