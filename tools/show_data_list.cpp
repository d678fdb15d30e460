// Writes the show's data table for the shell tests and the scripts (the web and Windows builds
// among them), which can't read C++: one line per program ("program VERTEX FRAGMENT", in
// start-up order), then "picture PATH" and "tune PATH". The build runs it into show_data.txt
// beside the demo.   show_data_list OUT
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "show/show_data.hpp"
#include "tooling/command_line.hpp"

namespace {
constexpr const char* kProgram = "show_data_list";
constexpr const char* kUsage = R"(usage: show_data_list OUT
Writes the show's data table to OUT: "program VERTEX FRAGMENT" lines in start-up order,
then "picture PATH" and "tune PATH". The build runs it into show_data.txt.
)";
}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> operands = operandsOrExit(argc, argv, kProgram, kUsage, 1, 1);
    std::ofstream out(operands[0]);
    for (const ProgramSpec& program : kScenePrograms)
        out << "program " << program.vertexPath << ' ' << program.fragmentPath << '\n';
    out << "picture " << kImagePath << "\ntune " << kTunePath << '\n';
    return out.flush() ? 0 : 1;
}
