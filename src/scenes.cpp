// Scene drawing. The scenes' programs, quads and picture arrive with their loaders; until
// then every scene frame stays cleared to black.
#include "scenes.hpp"

void drawScene(Cue /*scene*/, float /*t*/)
{
}
