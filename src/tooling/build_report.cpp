// A build's logs as findings; see build_report.hpp. Programs come from the demo's own program
// builder with every log whole and each file read on its own, so that each stage's report is
// pinned to its file.
#include "tooling/build_report.hpp"

#include <algorithm>
#include <cctype>
#include <optional>
#include <sstream>

#include "platform/data_file.hpp"
#include "show/tracks.hpp"
#include "tooling/shader_log.hpp"

namespace {

// Source lines are quoted under their report, indented by this.
constexpr const char* kQuoteIndent = "    ";

// Line `number` (1-based) of the text, without its indentation; none past the end.
std::optional<std::string> sourceLine(const std::string& text, int number)
{
    std::istringstream lines(text);
    std::string line;
    for (int i = 0; i < number; ++i)
        if (!std::getline(lines, line))
            return std::nullopt;
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    line.erase(0, line.find_first_not_of(" \t"));
    return line;
}

}  // namespace

int Findings::problemCount() const
{
    return static_cast<int>(std::count_if(entries.begin(), entries.end(),
                                          [](const Entry& entry) { return entry.problem; }));
}

bool reportLog(const std::string& log, const std::string& where, const std::string* source,
               bool succeeded, Findings& findings, const std::string& note)
{
    const std::vector<LogEntry> entries = parseInfoLog(log);
    bool anyProblem = false;
    for (std::size_t first = 0; first < entries.size();) {
        const LogEntry& lead = entries[first];
        const bool located = lead.line > 0 && source != nullptr;
        const std::string prefix = located ? where + ":" + std::to_string(lead.line) : where;
        const bool problem = !succeeded && !lead.warning;
        std::string text = prefix + ": " + note + lead.message;
        std::size_t next = first + 1;
        for (; next < entries.size() && located && entries[next].line == lead.line &&
               entries[next].warning == lead.warning;
             ++next)
            text += "\n" + prefix + ": " + note + entries[next].message;
        if (located) {
            if (const std::optional<std::string> quoted = sourceLine(*source, lead.line))
                text += "\n" + std::string(kQuoteIndent) + *quoted;
        }
        if (problem)
            findings.problem(std::move(text));
        else
            findings.warning(std::move(text));
        anyProblem = anyProblem || problem;
        first = next;
    }
    return anyProblem;
}

bool reportStage(const StageBuild& stage, std::set<std::string>& reported, Findings& findings,
                 const std::string& note)
{
    const bool compiled = stage.read && stage.compile.ok;
    if (!reported.insert(stage.path).second)
        return compiled;
    if (!stage.read) {
        findings.problem(readFailure(stage.path, stage.readError));
        return false;
    }
    const bool explained =
        reportLog(stage.compile.log, stage.path, &stage.source, stage.compile.ok, findings, note);
    if (!compiled && !explained)
        findings.problem(std::string(stage.path) + ": " + note + "does not compile (the driver gives no reason)");
    return compiled;
}

bool reportTracks(const StageBuild& stage, std::set<std::string>& reported, Findings& findings)
{
    const TrackSource read = readTracks(stage.source);
    if (reported.insert(std::string(stage.path) + " tracks").second)
        for (const TrackSource::Problem& problem : read.problems) {
            std::string text = std::string(stage.path) + ":" + std::to_string(problem.line) + ": " + problem.message;
            if (const std::optional<std::string> quoted = sourceLine(stage.source, problem.line))
                text += "\n" + std::string(kQuoteIndent) + *quoted;
            findings.problem(std::move(text));
        }
    return read.problems.empty();
}

std::string readFailure(const char* path, int error)
{
    return std::string(path) + ": cannot be read (" + DataFile::describe(error) + ")";
}
