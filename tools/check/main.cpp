// demo-check: for people who edit the demo's shaders, picture or tune. Loads every data file
// the demo uses, as the demo does, in an off-screen OpenGL context, and lists each problem under
// the file (and line) it comes from; or, with --flashes, renders the whole show and lists where
// it flashes more than a photosensitive viewer can take. Status 0 when all is well, 1 with
// problems, 2 when it cannot check at all.   demo-check [--flashes] [DIRECTORY]
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "data_check.hpp"
#include "flash_pass.hpp"
#include "offscreen.hpp"
#include "progress.hpp"
#include "show_data.hpp"

namespace {

constexpr int kProblemsStatus = 1;
constexpr int kCannotCheckStatus = 2;
// Frames rendered between two looks at the progress bar.
constexpr long kFramesPerStep = 30;

void usage(std::FILE* to, const char* program)
{
    std::fprintf(to,
                 "usage: %s [--flashes] [DIRECTORY]\n"
                 "Checks the demo's data files in DIRECTORY (default: the working directory) as\n"
                 "the demo loads them:\n",
                 program);
    for (const std::string& file : showDataFiles())
        std::fprintf(to, "  %s\n", file.c_str());
    std::fprintf(to, "With --flashes, renders the show at 60 frames a second instead and lists each span where\n"
                     "it flashes more than 3 times a second (WCAG 2.3.1), or more than the show's own 2, or\n"
                     "keeps flashing, over the screen or a ninth of it.\n"
                     "Status 0 when all is well, 1 with a list of problems, 2 when it cannot check.\n");
}

std::string plural(int count, const char* noun)
{
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// The show's flashes: each span over the margin on its line, then a summary.
int checkFlashes()
{
    const std::unique_ptr<GlContext> context = openOffscreenContext();
    // The demo's own reports of broken data are demo-check's other job: not repeated here.
    std::streambuf* const out = std::cout.rdbuf(nullptr);
    const Scenes scenes = loadScenes();
    std::cout.rdbuf(out);
    std::cout.clear();
    FlashPass pass(scenes);
    Progress progress(FlashPass::total(), isatty(STDERR_FILENO) ? stderr : nullptr);
    while (!pass.advance(kFramesPerStep))
        progress.update(pass.framesDone());
    progress.finish();

    if (pass.analyser().report(stdout, "demo-check"))
        return 0;
    std::printf("demo-check: the show flashes more than a photosensitive viewer can take\n");
    return kProblemsStatus;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        usage(stdout, argv[0]);
        return 0;
    }
    const bool flashes = argc > 1 && std::strcmp(argv[1], "--flashes") == 0;
    const int rest = argc - (flashes ? 2 : 1);
    const char* directory = rest == 1 ? argv[argc - 1] : nullptr;
    if (rest > 1 || (directory != nullptr && directory[0] == '-')) {
        usage(stderr, argv[0]);
        return kCannotCheckStatus;
    }
    if (directory != nullptr) {
        std::error_code error;
        std::filesystem::current_path(directory, error);
        if (error) {
            std::fprintf(stderr, "%s: cannot enter %s: %s\n", argv[0], directory, error.message().c_str());
            return kCannotCheckStatus;
        }
    }
    if (flashes) {
        try {
            return checkFlashes();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s: cannot check: %s\n", argv[0], error.what());
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
