// demo-check: for people who edit the demo's shaders, picture or tune. Loads every data file
// the demo uses, as the demo does, in an off-screen OpenGL context, and lists each problem under
// the file (and line) it comes from. Status 0 when all is well, 1 with problems, 2 when it
// cannot check at all.   demo-check [DIRECTORY]   (default: the working directory)
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>

#include "data_check.hpp"
#include "offscreen.hpp"
#include "show_data.hpp"

namespace {

constexpr int kProblemsStatus = 1;
constexpr int kCannotCheckStatus = 2;

void usage(std::FILE* to, const char* program)
{
    std::fprintf(to,
                 "usage: %s [DIRECTORY]\n"
                 "Checks the demo's data files in DIRECTORY (default: the working directory) as\n"
                 "the demo loads them:\n",
                 program);
    for (const std::string& file : showDataFiles())
        std::fprintf(to, "  %s\n", file.c_str());
    std::fprintf(to, "Status 0 when all is well, 1 with a list of problems, 2 when it cannot check.\n");
}

std::string plural(int count, const char* noun)
{
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        usage(stdout, argv[0]);
        return 0;
    }
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        usage(stderr, argv[0]);
        return kCannotCheckStatus;
    }
    if (argc == 2) {
        std::error_code error;
        std::filesystem::current_path(argv[1], error);
        if (error) {
            std::fprintf(stderr, "%s: cannot enter %s: %s\n", argv[0], argv[1], error.message().c_str());
            return kCannotCheckStatus;
        }
    }

    Findings findings;
    try {
        const std::unique_ptr<GlContext> context = openOffscreenContext();
        checkPrograms(findings);
        checkPicture(findings);
        checkTune(findings);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: cannot check: %s\n", argv[0], error.what());
        return kCannotCheckStatus;
    }

    for (const Findings::Entry& entry : findings.entries)
        std::printf("%s\n", entry.text.c_str());
    const int problems = findings.problemCount();
    const int warnings = static_cast<int>(findings.entries.size()) - problems;
    if (problems > 0) {
        std::printf("demo-check: %s\n", plural(problems, "problem").c_str());
        return kProblemsStatus;
    }
    std::string passed;
    for (const std::string& part : findings.passed)
        passed += (passed.empty() ? "" : ", ") + part;
    std::printf("demo-check: all good%s: %s\n",
                warnings > 0 ? (" (" + plural(warnings, "warning") + ")").c_str() : "", passed.c_str());
    return 0;
}
