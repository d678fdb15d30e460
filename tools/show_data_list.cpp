// Writes the show's data table for the shell tests and the scripts (the web and Windows builds
// among them), which can't read C++: one line per program ("program VERTEX FRAGMENT", in
// start-up order), then "picture PATH" and "tune PATH". The build runs it into show_data.txt
// beside the demo.   show_data_list OUT
#include <fstream>

#include "show_data.hpp"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::ofstream out(argv[1]);
    for (const ProgramSpec& program : kScenePrograms)
        out << "program " << program.vertexPath << ' ' << program.fragmentPath << '\n';
    out << "picture " << kImagePath << "\ntune " << kTunePath << '\n';
    return out.flush() ? 0 : 1;
}
