// Builds a Shader from its two source files through the program builder, then reports what
// went wrong in the demo's words; see shader.hpp. The builder makes exactly the calls the
// demo's reports need (a log only after a failure), so building and reporting can be apart.
#include "show/shader.hpp"

#include <iostream>

#include "show/program_builder.hpp"

namespace {
constexpr std::string_view kLinkLabel = "PROGRAM";
constexpr const char* kSeparator = "\n -- --------------------------------------------------- -- ";

// Silent for a step that succeeded; otherwise the heading the label selects, the label, the
// driver's log and the separator.
void report(std::string_view type, const BuildStep& step)
{
    if (step.ok)
        return;
    const char* heading = type == kLinkLabel ? "ERROR::PROGRAM_LINKING_ERROR of type: "
                                             : "ERROR::SHADER_COMPILATION_ERROR of type: ";
    std::cout << heading << type << "\n" << step.log << kSeparator << std::endl;
}
}  // namespace

Shader::Shader(const char* vertexPath, const char* fragmentPath)
{
    const ProgramBuild build = buildProgram(vertexPath, fragmentPath, BuildLogs::Demo);
    programId = build.program;
    // A failure to read either file empties both texts, so the stages below fail to compile.
    if (!build.sourcesRead())
        std::cout << "ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ" << std::endl;
    report("VERTEX", build.vertex.compile);
    report("FRAGMENT", build.fragment.compile);
    report(kLinkLabel, build.link);
}
