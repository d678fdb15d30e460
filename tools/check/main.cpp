// demo-check: for people who edit the demo's shaders, picture or tune. Loads every data file
// the demo uses, as the demo does, in an off-screen OpenGL context, and lists each problem under
// the file (and line) it comes from; or, with --flashes, renders the whole show and lists where
// it flashes more than a photosensitive viewer can take. Status 0 when all is well, 1 with
// problems, 2 when it cannot check at all.   demo-check [--flashes] [DIRECTORY]
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "data_check.hpp"
#include "show/show_data.hpp"
#include "tooling/command_line.hpp"
#include "tooling/flash_pass.hpp"
#include "tooling/flash_report.hpp"
#include "tooling/offscreen.hpp"
#include "tooling/progress.hpp"

namespace {

constexpr const char* kProgram = "demo-check";
constexpr int kProblemsStatus = 1;
constexpr int kCannotCheckStatus = 2;
// Frames rendered between two looks at the progress bar.
constexpr long kFramesPerStep = 30;

std::string usage()
{
    std::string text = std::string("usage: ") + kProgram + " [--flashes] [DIRECTORY]\n"
        "Checks the demo's data files in DIRECTORY (default: the working directory) as\n"
        "the demo loads them:\n";
    for (const std::string& file : showDataFiles())
        text += "  " + file + "\n";
    return text +
        "With --flashes, renders the show at 60 frames a second instead and lists each span where\n"
        "it flashes more than 3 times a second (WCAG 2.3.1), or more than the show's own 2, or\n"
        "keeps flashing, over the screen or a ninth of it.\n"
        "Status 0 when all is well, 1 with a list of problems, 2 when it cannot check (or for a\n"
        "bad command line).\n";
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

    if (reportFlashes(pass.analyser(), stdout, "demo-check"))
        return 0;
    std::printf("demo-check: the show flashes more than a photosensitive viewer can take\n");
    return kProblemsStatus;
}

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    std::string error;
    readCommandLine({argv + 1, argv + argc}, {{"--flashes", false}}, 0, 1, line, error);
    if (const std::optional<int> status = answerCommandLine(kProgram, usage(), line.help, error))
        return *status;
    const bool flashes = !line.options.empty();
    if (!line.operands.empty() && !enterDataFolder(kProgram, line.operands[0]))
        return kCannotCheckStatus;
    if (flashes) {
        try {
            return checkFlashes();
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "%s: cannot check: %s\n", kProgram, failure.what());
            return kCannotCheckStatus;
        }
    }

    Findings findings;
    try {
        const std::unique_ptr<GlContext> context = openOffscreenContext();
        checkPrograms(findings);
        checkPicture(findings);
        checkTune(findings);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: cannot check: %s\n", kProgram, failure.what());
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
