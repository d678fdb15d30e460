#version 330 core
// Scene two: glossy spheres that melt into each other as they dance over a neon grid.
// The spheres are a smooth-union distance field, sphere-traced from where the ray enters
// their slightly inflated bounds, so the march takes only a few steps and only where a
// sphere can be; the floor, the shadows and the sky are analytic.

uniform vec2 u_resolution;
uniform float u_time;

out vec4 FragColor;

const float SCENE_START = 10.0;
const float SCENE_END = 45.0;
const int SPHERES = 6;
const int MAX_STEPS = 32;
const float HIT_DISTANCE = 0.003;
const float BLEND = 0.45;             // how far the spheres reach out to melt together
const float FLOOR_Y = -1.0;
const float FOCAL_LENGTH = 1.8;
const float SHADOW_REACH = 7.0;

// Worked out once per frame by the vertex stage.
flat in float vPulse;
flat in vec3 vEye;
flat in mat3 vCamera;
flat in vec3 vLight;
flat in vec4 vSpheres[SPHERES];

// The big sphere is pearl; the dancers go round the colour wheel.
const vec3 TINTS[SPHERES] = vec3[](
    vec3(0.95, 0.85, 0.75), vec3(1.0, 0.25, 0.3), vec3(1.0, 0.7, 0.15), vec3(0.35, 0.95, 0.4),
    vec3(0.15, 0.8, 1.0), vec3(0.9, 0.3, 1.0));

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
vec3 sky(vec3 rd)
{
    float h = max(rd.y, 0.0);
    vec3 col = mix(vec3(0.16, 0.02, 0.14), vec3(0.005, 0.0, 0.02), sqrt(h));
    return col + vec3(1.0, 0.35, 0.12) * (0.35 / (1.0 + 120.0 * h));
}

// Soft shadows of the spheres on the floor: each casts a blurred disc along the light's
// direction, wider and fainter the higher it floats.
float floorShadow(vec2 p)
{
    vec3 toLight = normalize(vLight);
    vec2 slant = toLight.xz / toLight.y;
    float lit = 1.0;
    for (int i = 0; i < SPHERES; i++) {
        float height = vSpheres[i].y - FLOOR_Y;
        vec2 offset = p - (vSpheres[i].xz - slant * height);
        float r2 = vSpheres[i].w * vSpheres[i].w * (1.0 + 0.3 * height);
        lit = min(lit, mix(0.25 + 0.12 * height, 1.0, smoothstep(0.2 * r2, 1.3 * r2, dot(offset, offset))));
    }
    return lit;
}

// The floor: a dark lacquer with neon grid lines that flash on the beat and scroll forward.
// Reflections skip the shadows: nobody can tell in a curved mirror.
vec3 floorColour(vec3 p, float t, bool shadowed)
{
    vec2 grid = p.xz * 0.5 + vec2(0.0, t * 0.5);
    vec2 cell = abs(fract(grid) - 0.5);
    // Lines keep a constant width on screen and fade out where they would crowd into moire.
    vec2 width = fwidth(grid);
    vec2 lines = smoothstep(0.5 - 0.03 - 1.5 * width, vec2(0.5 - 0.01), cell) * clamp(1.0 - 2.5 * width, 0.0, 1.0);
    float line = max(lines.x, lines.y);
    // Shadows fall near the dance only: far floor skips them.
    float lit = shadowed && dot(p.xz, p.xz) < SHADOW_REACH * SHADOW_REACH ? floorShadow(p.xz) : 1.0;
    float pool = 1.0 / (1.0 + 0.15 * dot(p.xz, p.xz));
    vec3 col = vec3(0.01, 0.005, 0.02) + vec3(0.3, 0.05, 0.22) * pool * lit;
    return col + vec3(0.1, 0.7, 1.0) * line * (0.25 + 0.75 * vPulse) * (0.3 + 0.7 * lit);
}

// What a ray from p sees when it misses the spheres: the floor fading into haze, or the sky.
vec3 background(vec3 p, vec3 rd, float t, bool shadowed)
{
    if (rd.y > -0.02)
        return sky(rd);
    float dist = (FLOOR_Y - p.y) / rd.y;
    float haze = 1.0 / (1.0 + dist * dist * 0.002);
    return mix(sky(vec3(rd.x, 0.0, rd.z)), floorColour(p + rd * dist, t, shadowed), haze);
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
        float d = max(length(away) - vSpheres[i].w, 0.0);
        float w = 1.0 / (0.002 + d * d * d);
        normal += normalize(away) * w;
        tint += TINTS[i] * w;
        total += w;
    }
    tint /= total;
    return normalize(normal);
}

vec3 shadeSpheres(vec3 p, vec3 rd, float t)
{
    vec3 tint;
    vec3 n = surfaceNormal(p, tint);
    vec3 toLight = normalize(vLight - p);
    float diffuse = max(dot(n, toLight), 0.0);
    vec3 r = reflect(rd, n);
    float highlight = pow(max(dot(r, toLight), 0.0), 40.0);
    float fresnel = 0.1 + 0.9 * pow(1.0 - max(dot(-rd, n), 0.0), 3.0);
    vec3 col = tint * (0.08 + 0.75 * diffuse);
    col = mix(col, background(p, r, t, false), 0.15 + 0.7 * fresnel);
    return col + vec3(1.0, 0.92, 0.85) * highlight + tint * vPulse * 0.25;
}

// Sphere-traces the melted spheres; the distance along the ray, or -1 when it misses.
// The surface lies inside the spheres grown by the blend reach, so the march starts where
// the ray enters the first of them and leaps the empty stretches between them.
float traceSpheres(vec3 ro, vec3 rd)
{
    vec2 spans[SPHERES];
    float dist = 1e9;
    for (int i = 0; i < SPHERES; i++) {
        spans[i] = raySpan(ro, rd, vSpheres[i].xyz, vSpheres[i].w + BLEND * 0.25);
        dist = min(dist, spans[i].x);
    }
    for (int step = 0; step < MAX_STEPS && dist < 1e8; step++) {
        float d = sceneDistance(ro + rd * dist);
        if (d < HIT_DISTANCE)
            return dist;
        dist += d;
        float next = 1e9;
        for (int i = 0; i < SPHERES; i++)
            if (spans[i].y > dist)
                next = min(next, max(spans[i].x, dist));
        dist = next;
    }
    return -1.0;
}

void main()
{
    float t = u_time - SCENE_START;
    vec2 uv = (2.0 * gl_FragCoord.xy - u_resolution) / u_resolution.y;
    vec3 rd = normalize(vCamera * vec3(uv, FOCAL_LENGTH));

    float hit = traceSpheres(vEye, rd);
    vec3 col = hit > 0.0 ? shadeSpheres(vEye + rd * hit, rd, t) : background(vEye, rd, t, true);

    // Fade in from the black gap before, and out into the one after; darken the corners.
    float fade = smoothstep(SCENE_START, SCENE_START + 1.0, u_time)
               * smoothstep(SCENE_END, SCENE_END - 0.6, u_time);
    vec2 q = gl_FragCoord.xy / u_resolution - 0.5;
    float vignette = 1.0 - 1.2 * dot(q, q);
    FragColor = vec4(sqrt(max(col, 0.0)) * vignette * fade, 1.0);
}
