// The show's schedule as a function of time; see timeline.hpp.
#include "show/timeline.hpp"

Cue demoTimeline(float t)
{
    for (const SceneSpan& span : kDemoTimeline) {
        const bool started = span.startIsOpen ? t > span.start : t >= span.start;
        if (started && t < span.end)
            return span.scene;
    }
    return t > kDemoEnd ? Cue::End : Cue::Black;
}
