#version 330 core
// Scene three: a flight down a tunnel of neon rings. It starts out of the dark, picks up
// speed, folds into a kaleidoscope, strobes on the beat, and ends in a white-hot core that
// swallows the screen before everything fades to black at the very end of the show.

uniform vec2 u_resolution;
uniform float u_time;

out vec4 FragColor;

const float SCENE_START = 46.0;
const float FINALE = 100.0;           // the core starts to swallow the screen
const float BLACKOUT = 108.5;         // black from here to the end
const float BEATS_PER_SECOND = 2.0;   // 120 BPM
const float PI = 3.14159265;

// 1 on each beat, decaying quickly.
float beatPulse(float t)
{
    return exp(-5.0 * fract(t * BEATS_PER_SECOND));
}

// Smooth 0 to 1 ramp between two times of the show.
float phase(float from, float to)
{
    return smoothstep(from, to, u_time);
}

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

// Folds the angle into mirrored wedges: more wedges as the scene builds.
float kaleidoscope(float angle, float wedges)
{
    float wedge = 2.0 * PI / wedges;
    float a = mod(angle, wedge) - 0.5 * wedge;
    return abs(a);
}

void main()
{
    float t = u_time - SCENE_START;
    vec2 uv = (2.0 * gl_FragCoord.xy - u_resolution) / u_resolution.y;
    float pulse = beatPulse(u_time);

    // The build: speed, twist, symmetry and strobe each come in at their own time.
    float awake = phase(SCENE_START, SCENE_START + 6.0);
    float speedUp = phase(54.0, 70.0);
    float folding = phase(70.0, 78.0);
    // The kaleidoscope cuts in on a bar line and gains wedges every four bars; whole
    // wedges keep the fold seamless all the way round.
    float folded = step(70.0, u_time);
    float wedges = 4.0 + 2.0 * floor(clamp((u_time - 70.0) / 8.0, 0.0, 2.0));
    float frenzy = phase(86.0, 94.0);
    float core = phase(FINALE, FINALE + 5.0);

    // The camera sways, so the tunnel's vanishing point drifts.
    uv += 0.15 * vec2(sin(t * 0.31), cos(t * 0.23)) * (0.3 + speedUp);

    float radius = length(uv);
    float angle = atan(uv.y, uv.x) + t * (0.1 + 0.4 * folding);
    angle = mix(angle, kaleidoscope(angle, wedges), folded);

    // Depth down the tunnel: the distance travelled grows faster as the scene builds.
    float travelled = t * (1.0 + 3.0 * speedUp + 4.0 * frenzy);
    float depth = 0.6 / (radius + 0.02) + travelled;

    // The wall is tiled with panels whose seams glow: rings along the tunnel, ribs around it.
    vec2 panel = vec2(angle * 8.0 / PI, depth * 1.5);
    vec2 seam = abs(fract(panel) - 0.5);
    float ring = 0.5 - seam.y;
    float rib = 0.5 - seam.x;
    float rings = 0.004 / (ring * ring + 0.002);
    float ribs = 0.002 / (rib * rib + 0.002);
    // Every panel flickers on its own, and the rows light up in waves with the beat.
    vec2 cell = floor(panel);
    float flicker = panelHash(cell);
    float wave = pulse * step(0.6, fract(cell.y * 0.25 - t * 0.5)) * speedUp;
    float glow = (rings + ribs) * (0.35 + 0.65 * pulse * speedUp) + flicker * flicker * 0.25 + wave;

    vec3 col = palette(depth * 0.04 + t * 0.02 + flicker * 0.1 * folding) * glow;

    // Starburst rays from the centre in the frenzy.
    float rays = pow(abs(sin(angle * wedges + t * 3.0)), 24.0) * frenzy / (1.0 + 3.0 * radius);
    col += palette(t * 0.05) * rays * (0.5 + pulse);

    // Far away the tunnel melts into fog; the near walls darken so the rings stand out.
    col *= smoothstep(0.0, 0.25, radius) + 0.2;
    col = mix(col, vec3(0.02, 0.0, 0.05), exp(-radius * 4.0) * (1.0 - core));

    // The core of light at the end of the tunnel, growing until it fills the screen.
    float coreSize = 0.05 + 0.25 * frenzy + 3.0 * core * core;
    col += vec3(1.0, 0.9, 0.8) * (coreSize * coreSize) / (radius * radius + coreSize * coreSize)
           * (0.3 + 0.7 * frenzy + pulse * 0.3 * frenzy);

    // Out of the dark at the start, into the dark at the end.
    float fade = awake * (1.0 - phase(FINALE + 4.5, BLACKOUT));
    col = col / (1.0 + col);   // soft roll-off keeps the brightest light from clipping flat
    FragColor = vec4(col * 1.3 * fade, 1.0);
}
