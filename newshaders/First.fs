#version 330 core
// Scene two: glossy spheres that melt into each other as they dance over a neon grid, in five
// shots cut on the tune's bar lines (the vertex stage picks the shot, camera and dancers).
// The spheres are a smooth-union distance field, sphere-traced from where the ray enters
// their slightly inflated bounds, so the march takes only a few steps and only where a
// sphere can be; the floor, the shadows, the sky and the mirrored dancers are analytic.

uniform vec2 u_resolution;
uniform float u_time;

out vec4 FragColor;

const int SPHERES = 5;
const int MAX_STEPS = 12;
const float HIT_DISTANCE = 0.003;
const float GRAZE_DISTANCE = 0.02;   // near enough at the last step
const float BLEND = 0.45;             // how far the spheres reach out to melt together
const float FLOOR_Y = -1.0;
const float FOCAL_LENGTH = 1.8;
const float SHADOW_REACH = 7.0;

// Worked out once per frame by the vertex stage.
in vec2 vPosition;            // where on the screen, -1 to 1 across and up
flat in vec4 vBeat;           // kick pulse, cut flash, part, seconds into the part
flat in vec3 vEye;
flat in mat3 vCamera;
flat in vec3 vLight;
flat in float vFade;          // the picture's light: in from the black gap before, out into the one after
flat in vec4 vStyle;          // the floor's neon colour; how many spheres the surface mirrors
flat in vec4 vSpheres[SPHERES];

// The big sphere is pearl; the dancers go round the colour wheel.
const vec3 TINTS[SPHERES] = vec3[](
    vec3(0.95, 0.85, 0.75), vec3(1.0, 0.25, 0.3), vec3(1.0, 0.7, 0.15), vec3(0.35, 0.95, 0.4),
    vec3(0.15, 0.8, 1.0));

// Polynomial smooth minimum: the union of two distances with a rounded seam.
float smoothUnion(float a, float b, float k)
{
    float h = max(k - abs(a - b), 0.0) / k;
    return min(a, b) - h * h * k * 0.25;
}

float sceneDistance(vec3 p)
{
    float d = length(p - vSpheres[0].xyz) - vSpheres[0].w;
    for (int i = 1; i < SPHERES; i++)
        d = smoothUnion(d, length(p - vSpheres[i].xyz) - vSpheres[i].w, BLEND);
    return d;
}

// Where a ray is inside a sphere: entry and exit distances, or (1e9, -1e9) when it misses.
vec2 raySpan(vec3 ro, vec3 rd, vec3 centre, float radius)
{
    vec3 oc = ro - centre;
    float b = dot(oc, rd);
    float h = b * b - dot(oc, oc) + radius * radius;
    if (h < 0.0)
        return vec2(1e9, -1e9);
    h = sqrt(h);
    return vec2(-b - h, -b + h);
}

// Evening sky: deep violet above, a hot band at the horizon.
const vec3 SKY_LOW = vec3(0.16, 0.02, 0.14);
const vec3 SKY_HIGH = vec3(0.005, 0.0, 0.02);
const vec3 SKY_BAND = vec3(1.0, 0.35, 0.12) * 0.35;
const vec3 HORIZON = SKY_LOW + SKY_BAND;   // the sky where it meets the floor, far away

vec3 sky(vec3 rd)
{
    float h = max(rd.y, 0.0);
    return mix(SKY_LOW, SKY_HIGH, sqrt(h)) + SKY_BAND / (1.0 + 120.0 * h);
}

// Soft shadows of the spheres on the floor: each casts a blurred disc along the light's
// direction, wider and fainter the higher it floats.
float floorShadow(vec2 p)
{
    vec2 slant = vLight.xz / vLight.y;
    float lit = 1.0;
    for (int i = 0; i < SPHERES; i++) {
        float height = vSpheres[i].y - FLOOR_Y;
        vec2 offset = p - (vSpheres[i].xz - slant * height);
        float r2 = vSpheres[i].w * vSpheres[i].w * (1.0 + 0.3 * height);
        // Dark in the disc's middle, lifting to full light past its rim.
        float across = clamp((dot(offset, offset) - 0.2 * r2) / (1.1 * r2), 0.0, 1.0);
        lit = min(lit, mix(0.25 + 0.12 * height, 1.0, across));
    }
    return lit;
}

// The floor: a dark lacquer with neon grid lines, in the shot's colour, that flash on the kick.
// Reflections skip the shadows: nobody can tell in a curved mirror.
vec3 floorColour(vec3 p, bool shadowed)
{
    vec2 grid = p.xz * 0.5;
    vec2 cell = abs(fract(grid) - 0.5);
    // Lines keep a constant width on screen and fade out where they would crowd into moire.
    vec2 width = fwidth(grid);
    vec2 lines = smoothstep(0.5 - 0.03 - 1.5 * width, vec2(0.5 - 0.01), cell) * clamp(1.0 - 2.5 * width, 0.0, 1.0);
    float line = max(lines.x, lines.y);
    // Shadows fall near the dance only: far floor skips them.
    float lit = shadowed && dot(p.xz, p.xz) < SHADOW_REACH * SHADOW_REACH ? floorShadow(p.xz) : 1.0;
    float pool = 1.0 / (1.0 + 0.15 * dot(p.xz, p.xz));
    // The lacquer takes on some of the shot's neon.
    vec3 lacquer = mix(vec3(0.3, 0.05, 0.22), 0.3 * vStyle.rgb, 0.5);
    vec3 col = vec3(0.01, 0.005, 0.02) + lacquer * pool * lit;
    return col + vStyle.rgb * line * (0.25 + 0.75 * vBeat.x) * (0.3 + 0.7 * lit);
}

// What a ray from p sees when it misses the spheres: the floor fading into haze, or the sky.
vec3 background(vec3 p, vec3 rd, bool shadowed)
{
    if (rd.y > -0.02)
        return sky(rd);
    float dist = (FLOOR_Y - p.y) / rd.y;
    float haze = 1.0 / (1.0 + dist * dist * 0.002);
    return mix(HORIZON, floorColour(p + rd * dist, shadowed), haze);
}

// Normal and colour of the melted surface: each sphere's own normal and tint, weighted by
// how close the point is to that sphere, so seams blend smoothly without extra samples.
vec3 surfaceNormal(vec3 p, out vec3 tint)
{
    vec3 normal = vec3(0.0);
    tint = vec3(0.0);
    float total = 0.0;
    for (int i = 0; i < SPHERES; i++) {
        vec3 away = p - vSpheres[i].xyz;
        float reach = length(away);
        float d = max(reach - vSpheres[i].w, 0.0);
        float w = 1.0 / (0.002 + d * d * d);
        normal += away * (w / reach);
        tint += TINTS[i] * w;
        total += w;
    }
    tint /= total;
    return normalize(normal);
}

// What a ray sees from p on: the nearest of the first spheres that the shot has mirrored, lit
// but not traced (only the eye's rays need the march's melted seams), or else the floor and
// the sky. The eye's ray that missed the spheres and the ray mirrored off them both end here,
// so each pixel shades the floor once. A mirrored ray starts on the surface, outside every
// sphere. Only the close-up, where they show, mirrors the dancers as well as the pearl: the
// count is the same for the whole frame, so the other shots skip their part of the loop.
vec3 beyond(vec3 p, vec3 r, bool fromEye)
{
    float nearest = 1e9;
    vec4 sphere = vec4(0.0, 0.0, 0.0, 1.0);
    vec3 tint = vec3(0.0);
    int mirrored = int(vStyle.w);
    for (int i = 0; i < mirrored; i++) {
        float entry = raySpan(p, r, vSpheres[i].xyz, vSpheres[i].w).x;
        if (entry > 0.01 && entry < nearest) {
            nearest = entry;
            sphere = vSpheres[i];
            tint = TINTS[i];
        }
    }
    if (nearest > 1e8)
        return background(p, r, fromEye);
    vec3 q = p + r * nearest;
    vec3 n = (q - sphere.xyz) / sphere.w;
    return tint * (0.1 + 0.8 * max(dot(n, normalize(vLight - q)), 0.0));
}

// x to the 40th, by squaring: the highlight's falloff without a pow() per pixel.
float pow40(float x)
{
    float x2 = x * x;
    float x4 = x2 * x2;
    float x8 = x4 * x4;
    float x16 = x8 * x8;
    return x16 * x16 * x8;
}

// Sphere-traces the melted spheres; the distance along the ray, or -1 when it misses.
// The surface lies inside the spheres grown by the blend reach, so the march runs only from
// where the ray enters the first of them to where it leaves the last. A ray that comes
// within a hair of the surface by the last step is taken as touching it: these are the
// grazing rays at the outlines, which the picture's resolution could not tell apart.
float traceSpheres(vec3 ro, vec3 rd)
{
    float dist = 1e9;
    float end = -1e9;
    for (int i = 0; i < SPHERES; i++) {
        vec2 span = raySpan(ro, rd, vSpheres[i].xyz, vSpheres[i].w + BLEND * 0.25);
        dist = min(dist, span.x);
        end = max(end, span.y);
    }
    float d = 1e9;
    for (int step = 0; step < MAX_STEPS && dist < end; step++) {
        d = sceneDistance(ro + rd * dist);
        if (d < HIT_DISTANCE)
            return dist;
        dist += d;
    }
    return d < GRAZE_DISTANCE && dist < end ? dist : -1.0;
}

void main()
{
    // The screen's shape is the show's (1920x1080) whatever the framebuffer's size, so the
    // picture fills any screen, stretched a little on one of another shape.
    vec2 uv = vPosition * vec2(u_resolution.x / u_resolution.y, 1.0);
    vec3 rd = normalize(vCamera * vec3(uv, FOCAL_LENGTH));

    // On a sphere: its own colour, and the ray mirrored off it; else the eye's ray goes on.
    float hit = traceSpheres(vEye, rd);
    vec3 col = vec3(0.0);
    vec3 from = vEye;
    vec3 onward = rd;
    float mirrored = 1.0;
    if (hit > 0.0) {
        from = vEye + rd * hit;
        vec3 tint;
        vec3 n = surfaceNormal(from, tint);
        vec3 toLight = normalize(vLight - from);
        onward = reflect(rd, n);
        float highlight = pow40(max(dot(onward, toLight), 0.0));
        float grazing = 1.0 - max(dot(-rd, n), 0.0);
        float fresnel = 0.1 + 0.9 * grazing * grazing * grazing;
        mirrored = 0.15 + 0.7 * fresnel;
        col = tint * (0.08 + 0.75 * max(dot(n, toLight), 0.0)) * (1.0 - mirrored)
            + vec3(1.0, 0.92, 0.85) * highlight + tint * vBeat.x * 0.3;
    }
    col += beyond(from, onward, hit <= 0.0) * mirrored;
    // Each cut lands with a flash of the crash, each kick with a lift of the whole picture.
    col *= 1.0 + 0.6 * vBeat.x + 3.0 * vBeat.y;

    // Darken the corners.
    vec2 q = 0.5 * vPosition;
    float vignette = 1.0 - 1.2 * dot(q, q);
    FragColor = vec4(sqrt(max(col, 0.0)) * vignette * vFade, 1.0);
}
