// Info-log parsing; see shader_log.hpp. Each driver family words its location its own way,
// so each form has its own pattern; anything else is kept whole rather than dropped.
#include "tooling/shader_log.hpp"

#include <algorithm>
#include <cctype>
#include <regex>

namespace {

// Mesa: "0:12(3): error: message" (source string, line, column).
const std::regex kMesaForm(R"(^\d+:(\d{1,9})\(\d+\):\s*(.*)$)");
// glslang and several vendors: "ERROR: 0:12: message" (source string, line).
const std::regex kTaggedForm(R"(^(ERROR|WARNING):\s*\d+:(\d{1,9}):\s*(.*)$)", std::regex::icase);
// NVIDIA: "0(12) : error C0000: message" (source string, line).
const std::regex kParenForm(R"(^\d+\((\d{1,9})\)\s*:\s*(.*)$)");

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool startsWithWarning(const std::string& message)
{
    return lowered(message.substr(0, 7)) == "warning";
}

LogEntry entryFor(const std::string& text)
{
    std::smatch match;
    LogEntry entry;
    if (std::regex_match(text, match, kMesaForm)) {
        entry.line = std::stoi(match[1]);
        entry.message = match[2];
    } else if (std::regex_match(text, match, kTaggedForm)) {
        entry.line = std::stoi(match[2]);
        entry.message = lowered(match[1]) + ": " + match[3].str();
    } else if (std::regex_match(text, match, kParenForm)) {
        entry.line = std::stoi(match[1]);
        entry.message = match[2];
    } else {
        entry.message = text;
    }
    entry.warning = startsWithWarning(entry.message);
    return entry;
}

}  // namespace

std::vector<LogEntry> parseInfoLog(std::string_view log)
{
    std::vector<LogEntry> entries;
    while (!log.empty()) {
        const std::size_t end = std::min(log.find('\n'), log.size());
        std::string text(log.substr(0, end));
        log.remove_prefix(std::min(end + 1, log.size()));
        // Trailing blanks and carriage returns carry nothing; lines without a letter or digit
        // are padding (Mesa ends some link logs with a lone ".").
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
            text.pop_back();
        if (std::any_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c); }))
            entries.push_back(entryFor(text));
    }
    return entries;
}
