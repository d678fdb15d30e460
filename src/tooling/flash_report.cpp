// The flash analyser's findings in words; see flash_report.hpp.
#include "tooling/flash_report.hpp"

namespace {

constexpr const char* kRegionNames[FlashAnalyser::kRegions] = {
    "whole screen", "top-left", "top", "top-right", "left", "centre", "right", "bottom-left", "bottom", "bottom-right"};

}  // namespace

std::string describeFlashes(const FlashSpan& span)
{
    char text[200];
    const int at = std::snprintf(text, sizeof text, "flashes: %.2f–%.2f s, %s: ", span.from, span.to,
                                 kRegionNames[span.region]);
    if (span.kind == FlashKind::Sustained)
        std::snprintf(text + at, sizeof text - std::size_t(at),
                      "2 or more flashes a second for %.1f s of 5 (sustained flashing)", span.count);
    else
        std::snprintf(text + at, sizeof text - std::size_t(at), "%g %s flashes in a second (%s)", span.count,
                      span.kind == FlashKind::Red ? "red" : "general", span.fails ? "limit 3" : "the show keeps to 2");
    return text;
}

bool reportFlashes(const FlashAnalyser& analyser, std::FILE* out, const char* program)
{
    bool fails = false;
    for (const FlashSpan& span : analyser.spans()) {
        std::fprintf(out, "%s\n", describeFlashes(span).c_str());
        fails = fails || span.fails;
    }
    if (fails)
        return false;
    FlashAnalyser::Worst most[2];
    int where[2] = {};
    for (int region = 0; region < FlashAnalyser::kRegions; ++region)
        for (int kind = 0; kind < 2; ++kind) {
            const FlashAnalyser::Worst worst = analyser.worst(kind == 0 ? FlashKind::General : FlashKind::Red, region);
            if (worst.count > most[kind].count) {
                most[kind] = worst;
                where[kind] = region;
            }
        }
    std::string found[2];
    for (int kind = 0; kind < 2; ++kind) {
        char text[120] = "no ";
        if (most[kind].count > 0.0)
            std::snprintf(text, sizeof text, "at most %g %s (%s, from %.2f s)", most[kind].count,
                          kind == 0 ? "general flashes in a second" : "red", kRegionNames[where[kind]], most[kind].from);
        found[kind] = text + std::string(most[kind].count > 0.0 ? "" : kind == 0 ? "general flashes" : "red");
    }
    std::fprintf(out, "%s: flashes within the rules: %s, %s, none kept up\n", program, found[0].c_str(),
                 found[1].c_str());
    return true;
}
