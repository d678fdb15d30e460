// Reading and answering a companion program's command line; see command_line.hpp.
#include "tooling/command_line.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>

namespace {

const OptionSpec* findOption(const std::vector<OptionSpec>& known, const std::string& name)
{
    for (const OptionSpec& option : known)
        if (name == option.name)
            return &option;
    return nullptr;
}

std::string operandCount(std::size_t count)
{
    return count == 1 ? "one argument" : std::to_string(count) + " arguments";
}

}  // namespace

bool readCommandLine(const std::vector<std::string>& args, const std::vector<OptionSpec>& known,
                     std::size_t minOperands, std::size_t maxOperands, CommandLine& line, std::string& error)
{
    line = CommandLine{};
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            line.operands.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        if (word == "--help" || word == "-h") {
            line.help = true;
            continue;
        }
        const OptionSpec* option = findOption(known, word);
        if (option == nullptr) {
            error = "unknown option '" + word + "'";
            return false;
        }
        if (!option->takesValue) {
            line.options.push_back({word, {}});
            continue;
        }
        if (i + 1 == args.size()) {
            error = word + " needs a value";
            return false;
        }
        line.options.push_back({word, args[++i]});
    }
    if (line.help)
        return true;
    const std::size_t count = line.operands.size();
    if (count > maxOperands) {
        error = "unexpected argument '" + line.operands[maxOperands] + "'";
        return false;
    }
    if (count < minOperands) {
        error = count == 0 && minOperands == maxOperands
            ? "needs " + operandCount(minOperands)
            : "needs at least " + operandCount(minOperands) + ", got " + std::to_string(count);
        return false;
    }
    return true;
}

bool takeOptions(const CommandLine& line, const std::function<bool(const CommandLine::Given&)>& take,
                 std::string& error)
{
    for (const CommandLine::Given& given : line.options)
        if (!take(given)) {
            error = badValue("value for " + given.name, given.value);
            return false;
        }
    return true;
}

std::optional<int> answerCommandLine(const char* program, const std::string& usage, bool help,
                                     const std::string& error)
{
    if (!error.empty()) {
        std::fprintf(stderr, "%s: %s (see %s --help)\n", program, error.c_str(), program);
        return kUsageStatus;
    }
    if (help) {
        std::fputs(usage.c_str(), stdout);
        return 0;
    }
    return std::nullopt;
}

std::vector<std::string> operandsOrExit(int argc, char** argv, const char* program, const std::string& usage,
                                        std::size_t minOperands, std::size_t maxOperands)
{
    CommandLine line;
    std::string error;
    readCommandLine({argv + 1, argv + argc}, {}, minOperands, maxOperands, line, error);
    if (const std::optional<int> status = answerCommandLine(program, usage, line.help, error))
        std::exit(*status);
    return line.operands;
}

bool enterDataFolder(const char* program, const std::string& folder)
{
    std::error_code error;
    std::filesystem::current_path(folder, error);
    if (error)
        std::fprintf(stderr, "%s: cannot enter %s: %s\n", program, folder.c_str(), error.message().c_str());
    return !error;
}

bool readNumber(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool readCount(const std::string& text, int& value)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || parsed > std::numeric_limits<int>::max())
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool readSize(const std::string& text, int& width, int& height)
{
    const std::size_t x = text.find('x');
    int w = 0;
    int h = 0;
    if (x == std::string::npos || !readCount(text.substr(0, x), w) || !readCount(text.substr(x + 1), h))
        return false;
    width = w;
    height = h;
    return true;
}

std::string badValue(const std::string& what, const std::string& value)
{
    return "bad " + what + " '" + value + "'";
}
