// One way for every companion program to read its command line and to answer it as command-line
// programs do: the usage on standard output and status 0 for --help, a bad option or value named
// in one line on standard error and status 2. Numbers are read strictly (the whole word must be
// the number), so that "--fps 30x" is refused rather than taken for 30.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// An option a program takes, "--name", and whether a value follows it.
struct OptionSpec {
    const char* name;
    bool takesValue;
};

// What a command line said, in order: its options (with their values) and its operands.
struct CommandLine {
    struct Given {
        std::string name;
        std::string value;
    };
    std::vector<Given> options;
    std::vector<std::string> operands;
    bool help = false;  // --help or -h, anywhere
};

// Reads args (argv[1..]) against the options known; "--" ends the options. False with a
// one-line reason in `error` for an unknown option, a missing value, or a number of operands
// outside [minOperands, maxOperands].
bool readCommandLine(const std::vector<std::string>& args, const std::vector<OptionSpec>& known,
                     std::size_t minOperands, std::size_t maxOperands, CommandLine& line, std::string& error);

// Hands each option given to `take`, which keeps it and says whether its value is good; false
// with "bad value 'VALUE' for NAME" in `error` at the first it refuses.
bool takeOptions(const CommandLine& line, const std::function<bool(const CommandLine::Given&)>& take,
                 std::string& error);

// The answer main gives before doing anything: for --help the usage on standard output and 0,
// for an error "PROGRAM: ERROR (see PROGRAM --help)" on standard error and 2; nothing to
// answer when the line is good and asks for work.
std::optional<int> answerCommandLine(const char* program, const std::string& usage, bool help,
                                     const std::string& error);

// The operands of a program that takes no options, `minOperands` to `maxOperands` of them; for
// --help or a bad line it answers as above and exits with that status itself.
std::vector<std::string> operandsOrExit(int argc, char** argv, const char* program, const std::string& usage,
                                        std::size_t minOperands, std::size_t maxOperands);

// Makes `folder` the working directory, where the programs read the show's data from; false
// after saying why not on standard error ("PROGRAM: cannot enter FOLDER: REASON").
bool enterDataFolder(const char* program, const std::string& folder);

// The status of a bad command line.
constexpr int kUsageStatus = 2;

// Strict readers: a finite decimal number; a count (digits only, no sign); a size "WxH" of
// counts.
bool readNumber(const std::string& text, double& value);
bool readCount(const std::string& text, int& value);
bool readSize(const std::string& text, int& width, int& height);

// The reason for a refused value: "bad WHAT 'VALUE'" (e.g. what = "value for --fps").
std::string badValue(const std::string& what, const std::string& value);
