// Reads a GLSL compiler's or linker's info log as a list of entries with the source line
// each one points at, so that the diagnostics can name the file and quote the line. Knows Mesa's
// "0:12(3): error: ..." and the "ERROR: 0:12: ..." and "0(12) : error C0000: ..." forms.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct LogEntry {
    int line = 0;         // 1-based line in the shader's source; 0 when the entry names none
    std::string message;  // from the severity on, e.g. "error: syntax error, unexpected '}'"
    bool warning = false;
};

// One entry per non-empty line of the log; lines in no known form keep their whole text.
std::vector<LogEntry> parseInfoLog(std::string_view log);
