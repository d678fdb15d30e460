#version 330 core
// Scene three: a flight in seven sections cut on the tune's bar lines (the vertex stage says
// which, and when the kick is heard). Out of the dark down a tunnel of neon rings, into a
// twisting square corridor, through a folded kaleidoscope of tunnels, out over a neon plain,
// into the warp that builds to the climax, the shock waves of a white-hot core, and the core
// swallowing the screen before everything fades to black at the very end of the show.

uniform vec2 u_resolution;
uniform float u_time;

out vec4 FragColor;

const float SCENE_START = 46.0;
const float PI = 3.14159265;
const float BEATS_PER_SECOND = 2.0;   // 120 BPM
const int FIRST_PART = 5;             // the vertex stage numbers the sphere scene's shots first

// The sections, in order.
const int TUNNEL = 0;
const int CORRIDOR = 1;
const int FOLDS = 2;
const int PLAIN = 3;
const int WARP = 4;
const int SHOCK = 5;
const int CORE = 6;

// Worked out once per frame by the vertex stage.
flat in float vHeard;         // the tune's time as heard
in vec2 vPosition;            // where on the screen, -1 to 1 across and up
flat in vec4 vBeat;           // kick pulse, cut flash, part, seconds heard into the part
flat in float vFade;          // the picture's light: out of the dark at the start, into it at the end
flat in vec3 vFlight;         // the core of light's size and brightness; how far apart the rings draw

// Cosine palette: cycles through electric blue, magenta and amber.
vec3 palette(float x)
{
    return 0.5 + 0.5 * cos(6.2832 * (x + vec3(0.55, 0.75, 0.95)));
}

// A random value in [0, 1) for each panel, from integer arithmetic alone, so that every GPU
// (and every browser) gives each panel the same one: a hash through sin() of large numbers
// depends on how precisely the driver's sin() reduces them.
float panelHash(vec2 cell)
{
    uvec2 mixed = uvec2(ivec2(cell)) * uvec2(1597334673u, 3812015801u);
    uint bits = (mixed.x ^ mixed.y) * 1597334673u;
    return float(bits >> 8) / 16777216.0;   // the top 24 bits: exact in a float
}

mat2 rotation(float a)
{
    float c = cos(a), s = sin(a);
    return mat2(c, s, -s, c);
}

// A wall tiled with panels whose seams glow: rings along the flight, ribs across it (`around`
// of them make a turn, so that the panels meet where the angle wraps), and every panel
// flickering on its own.
float panels(vec2 panel, float around, float kick)
{
    vec2 seam = abs(fract(panel) - 0.5);
    float ring = 0.5 - seam.y;
    float rib = 0.5 - seam.x;
    float glow = 0.004 / (ring * ring + 0.002) + 0.002 / (rib * rib + 0.002);
    vec2 cell = floor(panel);
    float flicker = panelHash(vec2(mod(cell.x, around), cell.y));
    return glow * (0.35 + 0.65 * kick) + flicker * flicker * 0.25;
}

// The tunnel of rings, from the screen's polar coordinates: depth grows towards the vanishing
// point. Its glow, lit in the palette's colour at the returned place. Wherever one looks, the
// rings pass by one a second (`passed` of them so far): as the flight speeds up, they draw
// apart (by `stretch`) and rush by faster instead, so they never come as often as a flash may.
float tunnel(float radius, float angle, float passed, float stretch, float kick, float t, out float hue)
{
    float depth = 0.6 / (radius + 0.02) / stretch + passed;
    hue = depth * 0.06 + t * 0.02;
    // Far away the tunnel melts into fog; the near walls darken so the rings stand out.
    float glow = panels(vec2((angle + 0.1 * t) * 8.0 / PI, depth), 16.0, kick);
    return glow * (smoothstep(0.0, 0.25, radius) + 0.2);
}

// A square corridor that twists as it goes: dark walls set with lit windows, their frames
// and the corners glowing.
vec3 corridor(vec2 uv, float travelled, float kick, float t)
{
    float reach = max(abs(uv.x), abs(uv.y));
    vec2 q = rotation(0.15 * t + 0.12 / (reach + 0.05)) * uv;
    reach = max(abs(q.x), abs(q.y));
    float depth = 0.5 / (reach + 0.01) + travelled;
    // Across the wall, -1 to 1, each of the four walls a column range of its own.
    bool side = abs(q.x) > abs(q.y);
    float across = (side ? q.y : q.x) / reach;
    float wall = side ? (q.x > 0.0 ? 0.0 : 4.0) : (q.y > 0.0 ? 2.0 : 6.0);
    vec2 panel = vec2((across + wall) * 2.5, depth * 2.0);
    vec2 inPanel = abs(fract(panel) - 0.5);
    float edge = max(inPanel.x, inPanel.y);
    float lit = panelHash(floor(panel) + vec2(0.0, 97.0));
    float window = smoothstep(0.3, 0.22, edge) * step(0.55, lit);
    float frame = 0.0015 / ((0.5 - edge) * (0.5 - edge) + 0.0015);
    float corner = 0.002 / ((1.0 - abs(across)) * (1.0 - abs(across)) + 0.002);
    vec3 light = mix(vec3(1.0, 0.6, 0.2), vec3(0.3, 0.9, 1.0), step(0.85, lit));
    vec3 col = light * window * (0.4 + 1.2 * kick)
             + vec3(0.35, 0.15, 0.9) * (0.25 * frame + corner * (0.4 + 0.6 * kick));
    // The far end of the corridor is lost in the dark; the walls rushing past nearest are
    // dimmed, so their windows don't flicker.
    return col * smoothstep(0.02, 0.35, reach) * (1.0 - 0.6 * smoothstep(0.5, 1.3, reach));
}

// The tunnel folded on itself: mirrored and turned three times, and the whole turned a step
// on each beat, so the one vanishing point becomes a kaleidoscope of them.
const mat2 FOLD_TURN = mat2(0.8253, 0.5646, -0.5646, 0.8253);   // 0.6 radians

float folds(vec2 uv, float travelled, float kick, float t, float beat, out float hue)
{
    float steps = floor(beat) + smoothstep(0.0, 0.3, fract(beat));
    vec2 p = rotation(0.35 * steps) * uv;
    for (int i = 0; i < 3; i++)
        p = FOLD_TURN * (abs(p) - vec2(0.45, 0.3));
    float radius = length(p);
    float depth = 0.3 / (radius + 0.03) + travelled;
    hue = depth * 0.05 + t * 0.03 + length(uv) * 0.3;
    float glow = panels(vec2(atan(p.y, p.x) * 6.0 / PI, depth * 1.5), 12.0, kick);
    return glow * smoothstep(0.0, 0.15, radius);
}

// Out of the tunnel, over a neon plain towards a striped sun on the horizon; rows of the
// floor light up on the kick, rolling towards the camera.
vec3 plain(vec2 uv, float travelled, float kick, float t)
{
    float horizon = -0.05 + 0.04 * sin(t * 0.6);
    float y = uv.y - horizon;
    if (y > 0.0) {
        // The sun, banded at its foot, over a sky glowing at the horizon.
        vec2 sun = uv - vec2(0.0, horizon + 0.32);
        float disc = smoothstep(0.5, 0.49, length(sun));
        float bands = step(0.35, fract(y * 18.0 - t * 0.8)) + step(0.12, sun.y);
        vec3 col = mix(vec3(1.0, 0.15, 0.5), vec3(1.0, 0.85, 0.2), smoothstep(-0.4, 0.4, sun.y))
                 * disc * min(bands, 1.0);
        return (col + vec3(0.5, 0.08, 0.4) * exp(-y * 6.0) * 0.8) * (0.8 + 0.6 * kick);
    }
    float depth = 0.4 / max(-y, 0.004);
    vec2 ground = vec2(uv.x * depth * 2.0 + 0.8 * sin(t * 0.4), (depth + travelled) * 2.0);
    vec2 line = abs(fract(ground) - 0.5);
    vec2 width = fwidth(ground);
    vec2 lines = smoothstep(0.5 - 0.04 - 1.5 * width, vec2(0.5 - 0.01), line)
               * clamp(1.0 - 2.0 * width, 0.0, 1.0);
    float grid = max(lines.x, lines.y);
    float row = step(0.75, fract(floor(ground.y) * 0.25 - t * 2.0));
    vec3 col = vec3(0.1, 0.8, 1.0) * grid * (0.5 + 0.5 * kick + row * kick);
    col += vec3(0.6, 0.1, 0.9) * 0.15 * row * kick / (1.0 + 0.05 * depth);
    // Haze towards the horizon, where the lines would crowd.
    return mix(col, vec3(0.5, 0.08, 0.4), smoothstep(6.0, 30.0, depth));
}

// The warp: streaks of light rushing out of the centre, ever faster, ever more of them, in the
// palette's colours at the returned place; and what glows around them, strobing on the kick.
float warp(float radius, float angle, float travelled, float kick, float build, out float hue,
           out vec3 haze)
{
    float sector = floor(angle * 40.0 / PI);
    float seed = panelHash(vec2(sector, 7.0));
    float depth = 0.5 / (radius + 0.01) + travelled * (0.6 + seed);
    float along = fract(depth * 0.25 + seed * 7.0);
    float streak = smoothstep(0.0, 0.02, along) * smoothstep(0.08 + 0.12 * build, 0.0, along);
    float across = abs(fract(angle * 40.0 / PI) - 0.5);
    // More of the sectors join in as it builds, each fading in.
    streak *= smoothstep(0.3, 0.05, across) * smoothstep(seed, seed + 0.05, 0.35 + 0.6 * build);
    // Brightest on their way out, fading before the edge, where they rush by too fast to see.
    streak *= smoothstep(0.05, 0.3, radius) * (1.0 - 0.85 * smoothstep(0.5, 1.3, radius));
    hue = 0.8 + seed * 0.4;   // blues, violets and cyans, cold against the climax's fire
    // Faint rings of the tunnel left behind, in a haze.
    float ring = 0.5 - abs(fract(depth * 0.5) - 0.5);
    haze = vec3(0.3, 0.1, 0.5) * 0.003 / (ring * ring + 0.003) * (1.0 - build)
         + mix(vec3(0.3, 0.1, 0.6), vec3(0.2, 0.4, 1.0), build) * 0.03 / (1.0 + radius);
    float strobe = 1.0 + 1.5 * kick;
    haze *= strobe;
    return streak * 2.5 * strobe;
}

// The climax: ripples of heat round the core, and with each kick (every other beat in the
// outro) a ring of white fire thrown out of it.
vec3 shock(vec2 uv, float t, float beat, float kicking)
{
    float radius = length(uv);
    float sinceKick = fract(beat * 0.5);
    float wave = abs(radius - 0.2 - sinceKick * 2.4);
    float rings = 0.004 / (wave * wave + 0.004) * (1.0 - sinceKick) * kicking;
    float ripples = 0.5 + 0.5 * cos(radius * 24.0 - t * 10.0);
    ripples *= ripples;
    return vec3(1.0, 0.85, 0.55) * rings * 2.5
         + vec3(1.0, 0.2, 0.05) * (0.15 + ripples * ripples) / (1.0 + 1.5 * radius);
}

void main()
{
    float t = u_time - SCENE_START;
    // The screen's shape is the show's (1920x1080) whatever the framebuffer's size, so the
    // picture fills any screen, stretched a little on one of another shape.
    vec2 uv = vPosition * vec2(u_resolution.x / u_resolution.y, 1.0);
    float kick = vBeat.x;
    float flash = vBeat.y;
    int section = max(int(vBeat.z) - FIRST_PART, 0);
    float st = max(vBeat.w, 0.0);
    float beat = vHeard * BEATS_PER_SECOND;

    // The camera sways, so the vanishing point drifts.
    uv += 0.12 * vec2(sin(t * 0.31), cos(t * 0.23));

    // Each section lights the picture in the palette's colours (glow at hue), or else in
    // colours of its own (col).
    float radius = length(uv);
    float angle = atan(uv.y, uv.x);
    float glow = 0.0;
    float hue = 0.0;
    vec3 col = vec3(0.0);
    float core = vFlight.x;              // the size of the core of light at the centre
    float heat = vFlight.y;              // and its brightness
    if (section == TUNNEL) {
        // Slow out of the dark, speeding up from the fifth bar.
        glow = tunnel(radius, angle, st, vFlight.z, kick, t, hue);
    } else if (section == CORRIDOR) {
        col = corridor(uv, 2.0 * st, kick, t);
    } else if (section == FOLDS) {
        glow = folds(uv, 2.5 * st, kick, t, beat, hue);
    } else if (section == PLAIN) {
        col = plain(uv, 4.5 * st, kick, t);
    } else if (section == WARP) {
        float build = st / 8.0;
        glow = warp(radius, angle, st * (4.0 + 6.0 * build), kick, build, hue, col);
    } else {
        col = shock(uv, t, beat, section == SHOCK ? 1.0 : 0.0);
        core += 0.1 * kick;
    }
    col += palette(hue) * glow;

    // The core of light at the end of it all: white at its heart, glowing amber at its edge.
    float light = (core * core) / (radius * radius + core * core);
    col += mix(vec3(1.0, 0.45, 0.2), vec3(1.0, 0.95, 0.9), light) * light * heat * (0.6 + 0.4 * kick);
    // Each cut lands with the crash's flash: the new picture blazes up in its own colours.
    col *= 1.0 + 4.0 * flash;

    col = col / (1.0 + col);   // soft roll-off keeps the brightest light from clipping flat
    FragColor = vec4(col * 1.3 * vFade, 1.0);
}
