// demo-check as its users run it, on a fresh copy of the built data in which each test
// breaks something on purpose: the report must name the file (and line) at fault and the
// status must say so. Also the info-log reader on log forms that Mesa never writes.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "gl_test_support.hpp"
#include "shader_log.hpp"

namespace {

namespace fs = std::filesystem;

struct CheckRun {
    int status;
    std::string output;
};

std::string fileText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Puts a new line before line `number` (1-based), so the test knows where it sits.
void insertLine(const fs::path& path, int number, const std::string& line)
{
    std::istringstream lines(fileText(path));
    std::string text;
    std::string current;
    for (int i = 1; std::getline(lines, current); ++i)
        text += (i == number ? line + "\n" : "") + current + "\n";
    std::ofstream(path, std::ios::binary) << text;
}

void replaceAll(const fs::path& path, const std::string& from, const std::string& to)
{
    std::string text = fileText(path);
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    std::ofstream(path, std::ios::binary) << text;
}

class DemoCheck : public testing::Test {
protected:
    DemoCheck()
    {
        for (const char* item : {"newshaders", "imgs", "demotune.wav"})
            fs::copy(fs::path(DEMO_DATA) / item, item, fs::copy_options::recursive);
    }

    static CheckRun run()
    {
        CheckRun result{-1, ""};
        std::FILE* pipe = popen("'" DEMO_CHECK "' . 2>&1", "r");
        if (pipe == nullptr)
            return result;
        std::array<char, 4096> chunk{};
        while (std::fgets(chunk.data(), static_cast<int>(chunk.size()), pipe) != nullptr)
            result.output += chunk.data();
        const int status = pclose(pipe);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return result;
    }

    WorkDir dir_;
};

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST_F(DemoCheck, TheShippedDataPassWithOneSummaryLine)
{
    const CheckRun result = run();
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output.rfind("demo-check: all good: 3 scene programs, picture ", 0), 0u) << result.output;
    EXPECT_EQ(occurrences(result.output, "\n"), 1u) << result.output;
}

TEST_F(DemoCheck, CompileErrorsNameTheirOwnFileAndLineAndQuoteIt)
{
    insertLine("newshaders/Second3.fs", 20, "    float broken = ;");
    insertLine("newshaders/SphereTest1.vs", 7, "vec3 lost = undeclaredThing;");
    const CheckRun result = run();
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("newshaders/Second3.fs:20: error: syntax error"), std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("\n    float broken = ;\n"), std::string::npos) << result.output;
    // Both screen programs share the vertex file: its fault is its own, and reported once.
    EXPECT_EQ(occurrences(result.output, "newshaders/SphereTest1.vs:7: error: "), 1u) << result.output;
    EXPECT_NE(result.output.find("\n    vec3 lost = undeclaredThing;\n"), std::string::npos);
    EXPECT_EQ(result.output.find("First.fs"), std::string::npos) << "an innocent file blamed";
    EXPECT_EQ(result.output.find("ERROR::"), std::string::npos) << "the demo's own report leaked";
}

TEST_F(DemoCheck, InterfaceFaultsAreNamedWithTheirPrograms)
{
    replaceAll("newshaders/pointTest3-texture.vs", "location = 0", "location = 3");
    replaceAll("newshaders/pointTest15-texture.fs", "u_time", "u_time.x");
    replaceAll("newshaders/pointTest15-texture.fs", "uniform float u_time.x;", "uniform vec2 u_time;");
    replaceAll("newshaders/First.fs", "void main()", "void mainImage()");
    replaceAll("newshaders/Second3.fs", "u_resolution", "u_size");
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

TEST_F(DemoCheck, AMissingOrBrokenFileFailsTheCheckByItself)
{
    const std::string picture = fileText("imgs/officialmolvanian2.png");
    const struct {
        const char* name;
        void (*breakIt)(const std::string& picture);
        const char* expected;
    } kFaults[] = {
        {"missing shader", [](const std::string&) { fs::remove("newshaders/First.fs"); },
         "newshaders/First.fs: cannot be read (No such file or directory)"},
        {"missing picture", [](const std::string&) { fs::remove("imgs/officialmolvanian2.png"); },
         "imgs/officialmolvanian2.png: cannot be read"},
        {"truncated picture",
         [](const std::string& png) {
             std::ofstream("imgs/officialmolvanian2.png", std::ios::binary) << png.substr(0, png.size() / 2);
         },
         "imgs/officialmolvanian2.png: the demo's PNG decoder refuses it"},
        {"junk as the tune",
         [](const std::string&) { std::ofstream("demotune.wav") << "RIFF....WAVEjunk"; },
         "demotune.wav: not a WAV the demo plays"},
    };
    for (const auto& fault : kFaults) {
        for (const char* item : {"newshaders", "imgs", "demotune.wav"}) {
            fs::remove_all(item);
            fs::copy(fs::path(DEMO_DATA) / item, item, fs::copy_options::recursive);
        }
        fault.breakIt(picture);
        const CheckRun result = run();
        EXPECT_EQ(result.status, 1) << fault.name;
        EXPECT_EQ(result.output.rfind(fault.expected, 0), 0u) << fault.name << ": " << result.output;
        EXPECT_EQ(occurrences(result.output, "\n"), 2u) << fault.name << ": " << result.output;
    }
}

TEST(ShaderLog, ReadsTheLineOfEachDriverFamilysForm)
{
    const std::vector<LogEntry> entries = parseInfoLog(
        "0:12(3): error: syntax error, unexpected '}'\n"
        "ERROR: 0:7: 'u_tme' : undeclared identifier\r\n"
        "WARNING: 0:9: extension not supported\n"
        "0(31) : error C1008: undefined variable \"x\"\n"
        "\n"
        "error: fragment shader lacks `main'\n"
        ".\n");
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].line, 12);
    EXPECT_EQ(entries[0].message, "error: syntax error, unexpected '}'");
    EXPECT_EQ(entries[1].line, 7);
    EXPECT_EQ(entries[1].message, "error: 'u_tme' : undeclared identifier");
    EXPECT_FALSE(entries[1].warning);
    EXPECT_EQ(entries[2].line, 9);
    EXPECT_TRUE(entries[2].warning);
    EXPECT_EQ(entries[3].line, 31);
    EXPECT_EQ(entries[3].message, "error C1008: undefined variable \"x\"");
    EXPECT_EQ(entries[4].line, 0);
    EXPECT_EQ(entries[4].message, "error: fragment shader lacks `main'");
}

}  // namespace
