// The data checks; see data_check.hpp. Each scene program is built by the demo's own program
// builder, asked for every log whole and each file read on its own, and reported through the
// shared diagnostics, once as the demo builds it and once as the web build does; the picture
// and tune go through the demo's own readers.
#include "data_check.hpp"

#include <glad/gl.h>

#include <set>

#include "platform/data_file.hpp"
#include "show/program_builder.hpp"
#include "show/show_data.hpp"
#include "show/texture.hpp"
#include "sound/music_reader.hpp"

namespace {

bool readable(const char* path, Findings& findings)
{
    const DataFile file(path);
    if (file.error() != 0)
        findings.problem(readFailure(path, file.error()));
    return file.error() == 0;
}

}  // namespace

void checkPrograms(Findings& findings)
{
    const ProgramChecker checker;
    const int before = findings.problemCount();
    const bool checkEs = compilesEsGlsl();
    if (!checkEs)
        findings.warning("the driver compiles no GLSL ES 3.00 (it lacks GL_ARB_ES3_compatibility): the shaders "
                         "were not checked as the web build compiles them");
    std::set<std::string> reported;
    std::set<std::string> reportedEs;
    for (const ProgramSpec& spec : kScenePrograms) {
        const ProgramBuild build = buildProgram(spec.vertexPath, spec.fragmentPath, BuildLogs::Whole);
        checker.check(build, spec, reported, findings);
        if (checkEs)
            checkAsEs(build, spec, reportedEs, findings);
        glDeleteProgram(build.program);
    }
    if (findings.problemCount() == before)
        findings.passed.push_back(std::to_string(std::size(kScenePrograms)) + " scene programs" +
                                  (checkEs ? " (also as GLSL ES)" : ""));
}

void checkPicture(Findings& findings)
{
    const Picture picture = readPicture(kImagePath);
    const std::string problem = pictureProblem(picture);
    if (!problem.empty())
        findings.problem(problem);
    else
        findings.passed.push_back("picture " + pictureSize(picture));
}

void checkTune(Findings& findings)
{
    if (!readable(kTunePath, findings))
        return;
    LoopedWav tune(kTunePath);
    const std::string problem = tuneProblem(tune, kTunePath);
    if (!problem.empty())
        findings.problem(problem);
    else
        findings.passed.push_back("tune " + std::to_string(tune.sampleRate()) + " Hz " +
                                  (tune.channels() == 1 ? "mono" : "stereo"));
}
