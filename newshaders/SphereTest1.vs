#version 330 core
// The full-screen scenes' vertex stage. It passes the screen quad through and, since it runs
// only four times a frame, also works out what is the same for every pixel of the frame: the
// show's tracks at the frame's time (the cue sheet, the light, the fade...), the tune's beat as
// heard, and for the sphere scene its shot, camera and dancers.

layout(location = 0) in vec3 aPos;

uniform float u_time;

// ---- tracks: the show's timing and animated values, kept by demo-live; edit them there, or by hand in this form
const float MUSIC_LAG = 0.24;
const float BEATS_PER_SECOND = 2.0;
const int BEATS_PER_BAR = 4;
// Before a track's first key its first value holds, after its last key the last; a key moves
// its value on to the next key's as its ease says. Keys snap to the tune's beats, heard in the
// demo at MUSIC_LAG + beat / BEATS_PER_SECOND seconds; the tune is built from this block too.
const int TRACK_STEP = 0;
const int TRACK_LINEAR = 1;
const int TRACK_SMOOTH = 2;
const int TRACK_EASE_IN = 3;
const int TRACK_EASE_OUT = 4;
float trackEase(int ease, float x)
{
    x = clamp(x, 0.0, 1.0);
    if (ease == TRACK_LINEAR)
        return x;
    if (ease == TRACK_SMOOTH)
        return x * x * (3.0 - 2.0 * x);
    if (ease == TRACK_EASE_IN)
        return x * x;
    if (ease == TRACK_EASE_OUT)
        return x * (2.0 - x);
    return 0.0;
}

// part (float)
const int PART_KEYS = 12;
const float PART_TIMES[PART_KEYS] = float[](10.24, 18.24, 26.24, 34.24, 42.24, 46.24, 62.24, 70.24, 78.24, 86.24, 94.24, 100.24);
const float PART_VALUES[PART_KEYS] = float[](0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0, 11.0);
const int PART_EASES[PART_KEYS] = int[](TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP);
float partTrack(float t, out float since)
{
    int k = 0;
    for (int i = 1; i < PART_KEYS; i++)
        if (t >= PART_TIMES[i])
            k = i;
    since = t - PART_TIMES[k];
    if (k == PART_KEYS - 1)
        return PART_VALUES[k];
    float x = since / (PART_TIMES[k + 1] - PART_TIMES[k]);
    return PART_VALUES[k] + (PART_VALUES[k + 1] - PART_VALUES[k]) * trackEase(PART_EASES[k], x);
}

// crash (float)
const int CRASH_KEYS = 12;
const float CRASH_TIMES[CRASH_KEYS] = float[](10.24, 18.24, 26.24, 34.24, 42.24, 46.24, 62.24, 70.24, 78.24, 86.24, 94.24, 100.24);
const float CRASH_VALUES[CRASH_KEYS] = float[](1.0, 1.0, 1.0, 1.0, 0.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 0.0);
const int CRASH_EASES[CRASH_KEYS] = int[](TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP);
float crashTrack(float t, out float since)
{
    int k = 0;
    for (int i = 1; i < CRASH_KEYS; i++)
        if (t >= CRASH_TIMES[i])
            k = i;
    since = t - CRASH_TIMES[k];
    if (k == CRASH_KEYS - 1)
        return CRASH_VALUES[k];
    float x = since / (CRASH_TIMES[k + 1] - CRASH_TIMES[k]);
    return CRASH_VALUES[k] + (CRASH_VALUES[k + 1] - CRASH_VALUES[k]) * trackEase(CRASH_EASES[k], x);
}

// kit (float)
const int KIT_KEYS = 6;
const float KIT_TIMES[KIT_KEYS] = float[](0.0, 10.24, 42.24, 46.24, 94.24, 100.24);
const float KIT_VALUES[KIT_KEYS] = float[](0.0, 1.0, 0.0, 1.0, 2.0, 0.0);
const int KIT_EASES[KIT_KEYS] = int[](TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP);
float kitTrack(float t, out float since)
{
    int k = 0;
    for (int i = 1; i < KIT_KEYS; i++)
        if (t >= KIT_TIMES[i])
            k = i;
    since = t - KIT_TIMES[k];
    if (k == KIT_KEYS - 1)
        return KIT_VALUES[k];
    float x = since / (KIT_TIMES[k + 1] - KIT_TIMES[k]);
    return KIT_VALUES[k] + (KIT_VALUES[k + 1] - KIT_VALUES[k]) * trackEase(KIT_EASES[k], x);
}

// fade (float)
const int FADE_KEYS = 8;
const float FADE_TIMES[FADE_KEYS] = float[](10.0, 11.0, 44.4, 45.0, 46.0, 52.0, 104.5, 108.5);
const float FADE_VALUES[FADE_KEYS] = float[](0.0, 1.0, 1.0, 0.0, 0.0, 1.0, 1.0, 0.0);
const int FADE_EASES[FADE_KEYS] = int[](TRACK_SMOOTH, TRACK_STEP, TRACK_SMOOTH, TRACK_STEP, TRACK_SMOOTH, TRACK_STEP, TRACK_SMOOTH, TRACK_STEP);
float fadeTrack(float t, out float since)
{
    int k = 0;
    for (int i = 1; i < FADE_KEYS; i++)
        if (t >= FADE_TIMES[i])
            k = i;
    since = t - FADE_TIMES[k];
    if (k == FADE_KEYS - 1)
        return FADE_VALUES[k];
    float x = since / (FADE_TIMES[k + 1] - FADE_TIMES[k]);
    return FADE_VALUES[k] + (FADE_VALUES[k + 1] - FADE_VALUES[k]) * trackEase(FADE_EASES[k], x);
}

// light (vec3)
const int LIGHT_KEYS = 6;
const float LIGHT_TIMES[LIGHT_KEYS] = float[](10.0, 18.24, 18.24, 26.24, 34.24, 42.24);
const vec3 LIGHT_VALUES[LIGHT_KEYS] = vec3[](vec3(-4.0, 4.0, -3.252), vec3(-4.0, 4.0, 5.4), vec3(4.0, 5.5, -3.0), vec3(3.0, 6.0, 2.0), vec3(-3.0, 5.0, -4.0), vec3(3.0, 6.0, -2.0));
const int LIGHT_EASES[LIGHT_KEYS] = int[](TRACK_LINEAR, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP, TRACK_STEP);
vec3 lightTrack(float t, out float since)
{
    int k = 0;
    for (int i = 1; i < LIGHT_KEYS; i++)
        if (t >= LIGHT_TIMES[i])
            k = i;
    since = t - LIGHT_TIMES[k];
    if (k == LIGHT_KEYS - 1)
        return LIGHT_VALUES[k];
    float x = since / (LIGHT_TIMES[k + 1] - LIGHT_TIMES[k]);
    return LIGHT_VALUES[k] + (LIGHT_VALUES[k + 1] - LIGHT_VALUES[k]) * trackEase(LIGHT_EASES[k], x);
}

// pull (float)
const int PULL_KEYS = 2;
const float PULL_TIMES[PULL_KEYS] = float[](42.24, 45.24);
const float PULL_VALUES[PULL_KEYS] = float[](0.0, 1.0);
const int PULL_EASES[PULL_KEYS] = int[](TRACK_SMOOTH, TRACK_STEP);
float pullTrack(float t, out float since)
{
    int k = 0;
    for (int i = 1; i < PULL_KEYS; i++)
        if (t >= PULL_TIMES[i])
            k = i;
    since = t - PULL_TIMES[k];
    if (k == PULL_KEYS - 1)
        return PULL_VALUES[k];
    float x = since / (PULL_TIMES[k + 1] - PULL_TIMES[k]);
    return PULL_VALUES[k] + (PULL_VALUES[k + 1] - PULL_VALUES[k]) * trackEase(PULL_EASES[k], x);
}

// core (float)
const int CORE_KEYS = 7;
const float CORE_TIMES[CORE_KEYS] = float[](46.0, 78.24, 86.24, 94.24, 94.24, 100.24, 109.0);
const float CORE_VALUES[CORE_KEYS] = float[](0.05, 0.08, 0.06, 0.31, 0.35, 0.35, 9.558512);
const int CORE_EASES[CORE_KEYS] = int[](TRACK_STEP, TRACK_STEP, TRACK_EASE_IN, TRACK_STEP, TRACK_STEP, TRACK_EASE_IN, TRACK_STEP);
float coreTrack(float t, out float since)
{
    int k = 0;
    for (int i = 1; i < CORE_KEYS; i++)
        if (t >= CORE_TIMES[i])
            k = i;
    since = t - CORE_TIMES[k];
    if (k == CORE_KEYS - 1)
        return CORE_VALUES[k];
    float x = since / (CORE_TIMES[k + 1] - CORE_TIMES[k]);
    return CORE_VALUES[k] + (CORE_VALUES[k + 1] - CORE_VALUES[k]) * trackEase(CORE_EASES[k], x);
}

// heat (float)
const int HEAT_KEYS = 4;
const float HEAT_TIMES[HEAT_KEYS] = float[](46.0, 94.24, 100.24, 109.0);
const float HEAT_VALUES[HEAT_KEYS] = float[](1.0, 2.5, 2.5, 9.508);
const int HEAT_EASES[HEAT_KEYS] = int[](TRACK_STEP, TRACK_STEP, TRACK_LINEAR, TRACK_STEP);
float heatTrack(float t, out float since)
{
    int k = 0;
    for (int i = 1; i < HEAT_KEYS; i++)
        if (t >= HEAT_TIMES[i])
            k = i;
    since = t - HEAT_TIMES[k];
    if (k == HEAT_KEYS - 1)
        return HEAT_VALUES[k];
    float x = since / (HEAT_TIMES[k + 1] - HEAT_TIMES[k]);
    return HEAT_VALUES[k] + (HEAT_VALUES[k + 1] - HEAT_VALUES[k]) * trackEase(HEAT_EASES[k], x);
}

// stretch (float)
const int STRETCH_KEYS = 2;
const float STRETCH_TIMES[STRETCH_KEYS] = float[](54.24, 62.24);
const float STRETCH_VALUES[STRETCH_KEYS] = float[](1.0, 2.2);
const int STRETCH_EASES[STRETCH_KEYS] = int[](TRACK_LINEAR, TRACK_STEP);
float stretchTrack(float t, out float since)
{
    int k = 0;
    for (int i = 1; i < STRETCH_KEYS; i++)
        if (t >= STRETCH_TIMES[i])
            k = i;
    since = t - STRETCH_TIMES[k];
    if (k == STRETCH_KEYS - 1)
        return STRETCH_VALUES[k];
    float x = since / (STRETCH_TIMES[k + 1] - STRETCH_TIMES[k]);
    return STRETCH_VALUES[k] + (STRETCH_VALUES[k + 1] - STRETCH_VALUES[k]) * trackEase(STRETCH_EASES[k], x);
}
// ---- end of tracks ----

// The music starts only once start-up is over, so what is heard at demo time t is the tune
// at t - MUSIC_LAG: the start-up time plus the audio output's latency, measured at about
// 0.21-0.27 s on OpenAL Soft's null output and 0.23-0.25 s through a PulseAudio server.
// Every cut and accent of both scenes keys on the time heard, so they land on the beats.
const float SECONDS_PER_BAR = float(BEATS_PER_BAR) / BEATS_PER_SECOND;

const int LAST_SHOT = 4;
const int DANCERS = 4;
const float FLOOR_Y = -1.0;
const float PI = 3.14159265;
const float TAU = 6.2831853;

out vec2 vPosition;           // where on the screen, -1 to 1 across and up, whatever its size
flat out float vHeard;        // the tune's time as heard
flat out vec4 vBeat;          // kick pulse, cut flash, part, seconds heard into the part
flat out vec3 vEye;           // camera position
flat out mat3 vCamera;        // camera right, up and forward
flat out vec3 vLight;         // light position
flat out float vFade;         // the picture's light, 0 (black) to 1
flat out vec3 vFlight;        // the tunnel scene's core of light (size, brightness) and rings' stretch
flat out vec4 vStyle;         // the floor's neon colour; how many spheres the surface mirrors
flat out vec4 vSpheres[DANCERS + 1];   // centre and radius; the big one first

// The light pulses on every kick, but in full only on a bar's first and third beats and softly
// on the others: a pulse in full is a flash, and a viewer prone to seizures takes no more than
// three a second, and not two a second for long (the kick's rate). Soft, it stays under the
// change of light that makes a flash.
const float SOFT_PULSE = 0.25;

// 1 on each kick as heard (SOFT_PULSE on the second and fourth beats), decaying within the
// beat; 0 where the kick is silent. `kit` is the cue sheet's: where the kick plays, and how.
float kickPulse(float beat, float kit)
{
    float everyBeat = step(0.5, kit) * (1.0 - step(1.5, kit));
    float halfTime = step(1.5, kit);
    float everyOther = 1.0 - mod(floor(beat), 2.0);
    return (everyBeat * mix(SOFT_PULSE, 1.0, everyOther) + halfTime * everyOther) * exp(-7.0 * fract(beat));
}

mat3 lookAt(vec3 eye, vec3 target, vec3 up)
{
    vec3 forward = normalize(target - eye);
    vec3 right = normalize(cross(up, forward));
    return mat3(right, cross(forward, right), forward);
}

// 0 to 1 and a little past, settling: a dancer thrown out to its place.
float elastic(float x)
{
    x = clamp(x, 0.0, 1.0);
    return 1.0 - exp(-6.0 * x) * cos(9.0 * x);
}

// Height above the floor of a ball that lands on every beat.
float bounce(float beat, float height)
{
    float f = fract(beat) * 2.0 - 1.0;
    return height * (1.0 - f * f);
}

void main()
{
    gl_Position = vec4(aPos, 1.0);
    vPosition = aPos.xy;
    float heard = u_time - MUSIC_LAG;
    float beat = heard * BEATS_PER_SECOND;

    // The show's structure is the cue sheet in the tracks above, which the tune is built from
    // too: `part` numbers the picture's parts, each opening on a bar line as heard (the sphere
    // scene's five shots, then the tunnel scene's seven sections); `crash` is 1 from each cut
    // that lands on the tune's crash, which the picture blazes up with once it is lit; `kit`
    // says where the kick plays: 1 on every beat, 2 on every other, 0 not at all. The light,
    // the fade, the break's pull-back and the tunnel scene's core and rings are tracks too.
    float st;                     // seconds into the part
    int part = int(partTrack(u_time, st) + 0.5);
    float sinceCut;
    float crash = crashTrack(u_time, sinceCut);
    float since;                  // of the tracks below, unused
    vFade = fadeTrack(u_time, since);
    float flash = crash * exp(-24.0 * max(sinceCut, 0.0)) * step(0.5, vFade);
    vHeard = heard;
    vBeat = vec4(kickPulse(beat, kitTrack(u_time, since)), flash, float(part), st);
    vLight = lightTrack(u_time, since);
    vFlight = vec3(coreTrack(u_time, since), heatTrack(u_time, since), stretchTrack(u_time, since));

    // The sphere scene's shot; what follows is the same for every pixel of its frame.
    int shot = min(part, LAST_SHOT);

    vec3 target = vec3(0.0, 0.2, 0.0);
    vec3 up = vec3(0.0, 1.0, 0.0);
    if (shot == 0) {
        // A low tracking shot down a row of balls that land together on the beat.
        for (int i = 0; i <= DANCERS; i++) {
            float r = i == 0 ? 0.95 : 0.5;
            float z = i == 0 ? 6.5 : -5.5 + 2.4 * float(i);
            float lift = i == 0 ? 0.25 * bounce(beat * 0.25, 1.0) : bounce(beat, 0.4 + 0.2 * float(i % 3));
            vSpheres[i] = vec4(0.0, FLOOR_Y + r + lift, z, r);
        }
        vEye = vec3(2.3, -0.25, -9.0 + 1.05 * st);
        target = vec3(0.0, -0.6, vEye.z + 4.5);
        vStyle = vec4(0.1, 0.7, 1.0, 1.0);
    } else if (shot == 1) {
        // One ball splits into many: every two beats a dancer is thrown out of the pearl, and
        // the ring they make whirls in the fill of the shot's last bar.
        vSpheres[0] = vec4(0.0, 0.1 + 0.12 * st, 0.0, 1.05);
        float whirl = max(st - 6.0, 0.0);
        float spin = 0.3 * st + 0.6 * whirl * whirl;
        for (int i = 1; i <= DANCERS; i++) {
            float thrown = elastic((st - float(i - 1)) * 1.6);
            float a = float(i) * TAU / float(DANCERS) + spin;
            float r = 2.7 * thrown;
            vSpheres[i] = vec4(r * cos(a), 0.1 + 0.25 * thrown * sin(beat * PI + float(i)), r * sin(a), 0.52);
        }
        float orbit = 2.4 + 0.06 * st;
        vEye = vec3(6.0 * sin(orbit), 3.4 - 0.1 * st, 6.0 * cos(orbit));
        vStyle = vec4(0.9, 0.2, 1.0, 1.0);
    } else if (shot == 2) {
        // From above: a square that steps an eighth of a turn on every beat and breathes with
        // the bar, the pearl leaping at its middle; the shadows dance on the grid.
        float steps = floor(beat) + smoothstep(0.0, 0.35, fract(beat));
        float breathe = 2.0 + 0.9 * sin(heard * TAU / SECONDS_PER_BAR);
        vSpheres[0] = vec4(0.0, FLOOR_Y + 1.0 + bounce(beat * 0.5, 1.6), 0.0, 1.0);
        for (int i = 1; i <= DANCERS; i++) {
            float a = float(i) * TAU / float(DANCERS) + steps * TAU / 8.0;
            vSpheres[i] = vec4(breathe * cos(a), FLOOR_Y + 0.55 + bounce(beat + 0.5 * float(i & 1), 0.5), breathe * sin(a), 0.55);
        }
        float turn = -0.08 * st;
        vEye = vec3(0.0, 9.5 - 0.12 * st, 0.0);
        target = vec3(0.0, FLOOR_Y, 0.0);
        up = vec3(sin(turn), 0.0, cos(turn));
        vStyle = vec4(1.0, 0.55, 0.1, 1.0);
    } else if (shot == 3) {
        // Close on the pearl: the dancers wheel round it on tilted orbits, mirrored in it.
        vSpheres[0] = vec4(0.0, 0.3, 0.0, 1.0);
        for (int i = 1; i <= DANCERS; i++) {
            float a = 1.1 * heard + float(i) * TAU / float(DANCERS);
            float tilt = 0.9 * sin(float(i) * 1.7);
            vec3 p = vec3(cos(a), 0.0, sin(a)) * 1.85;
            p.y = p.z * tilt;
            p.z *= sqrt(1.0 - 0.5 * tilt * tilt);
            vSpheres[i] = vec4(p + vec3(0.0, 0.3, 0.0), 0.34 + 0.04 * vBeat.x);
        }
        float around = -0.6 + 0.05 * st;
        float dist = 4.8 - 0.1 * st;
        vEye = vec3(dist * sin(around), 0.75, -dist * cos(around));
        target = vec3(0.0, 0.3, 0.0);
        vStyle = vec4(0.2, 1.0, 0.6, float(DANCERS + 1));
    } else {
        // The break: the kit drops out, the dancers fall back into the pearl and the camera
        // pulls away and up to show the whole floor.
        float back = pullTrack(u_time, since);
        vSpheres[0] = vec4(0.0, 0.3 + 0.4 * back, 0.0, 1.0 + 0.3 * back);
        for (int i = 1; i <= DANCERS; i++) {
            float a = float(i) * TAU / float(DANCERS) + 0.8 * st;
            float r = 2.3 * (1.0 - back);
            vSpheres[i] = vec4(r * cos(a), 0.3 + 0.4 * back, r * sin(a), 0.5);
        }
        float dist = mix(4.4, 15.0, back);
        vEye = vec3(0.3 * dist, mix(0.6, 7.0, back), -dist);
        vStyle = vec4(0.5, 0.4, 1.0, 1.0);
    }
    vCamera = lookAt(vEye, target, up);
}
