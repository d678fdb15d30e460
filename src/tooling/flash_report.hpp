// The flash analyser's findings in words, for demo-check --flashes and demo-capture
// --flash-report: one line a span that fails or comes over the show's margin, then, when none
// fails, the most flashes of each kind in any second and where.
#pragma once

#include <cstdio>
#include <string>

#include "tooling/flash_analyser.hpp"

// One line, e.g. "flashes: 60.33–61.33 s, top-left: 3.5 general flashes in a second (limit 3)".
std::string describeFlashes(const FlashSpan& span);

// Each span's line on `out`, then, unless one fails, "PROGRAM: flashes within the rules: " with
// the most of each kind in a second and where. True when none fails.
bool reportFlashes(const FlashAnalyser& analyser, std::FILE* out, const char* program);
