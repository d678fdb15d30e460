#version 330 core
// The full-screen scenes' vertex stage. It passes the screen quad through and, since it runs
// only four times a frame, also works out what is the same for every pixel of the frame: the
// tune's beat and bar as heard, and for the sphere scene its shot, camera, light and dancers.

layout(location = 0) in vec3 aPos;

uniform float u_time;

// The music starts only once start-up is over, so what is heard at demo time t is the tune
// at t - MUSIC_LAG: the start-up time plus the audio output's latency, measured at about
// 0.21-0.27 s on OpenAL Soft's null output and 0.23-0.25 s through a PulseAudio server.
// Every cut and accent of both scenes keys on the time heard, so they land on the beats.
const float MUSIC_LAG = 0.24;
const float BEATS_PER_SECOND = 2.0;   // 120 BPM
const float SECONDS_PER_BAR = 2.0;    // 4/4

// Where the kick drum plays in the tune, in bars: every beat through the lift, the theme and
// the main theme, every other beat in the outro, and not at all in the break or the intro.
const float KIT_FROM = 5.0;
const float BREAK_FROM = 21.0;
const float KIT_AGAIN = 23.0;
const float OUTRO_FROM = 47.0;
const float OUTRO_KICK_UNTIL = 50.0;

// The picture's parts, each opening on a bar line of the tune: the sphere scene's five shots
// (four bars each from the lift, then the break), then the tunnel scene's seven sections. The
// cuts where the tune has a crash flash with it.
const int PARTS = 12;
const float PART_BARS[PARTS] = float[](5.0, 9.0, 13.0, 17.0, 21.0, 23.0, 31.0, 35.0, 39.0, 43.0, 47.0, 50.0);
const float PART_CRASHES[PARTS] = float[](0.0, 1.0, 1.0, 1.0, 0.0, 0.0, 1.0, 1.0, 1.0, 1.0, 1.0, 0.0);
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
flat out vec4 vStyle;         // the floor's neon colour; how many spheres the surface mirrors
flat out vec4 vSpheres[DANCERS + 1];   // centre and radius; the big one first

// The light pulses on every kick, but in full only on a bar's first and third beats and softly
// on the others: a pulse in full is a flash, and a viewer prone to seizures takes no more than
// three a second, and not two a second for long (the kick's rate). Soft, it stays under the
// change of light that makes a flash.
const float SOFT_PULSE = 0.25;

// 1 on each kick as heard (SOFT_PULSE on the second and fourth beats), decaying within the
// beat; 0 where the kick is silent.
float kickPulse(float heard)
{
    float beat = heard * BEATS_PER_SECOND;
    float bar = heard / SECONDS_PER_BAR;
    float onBeat = step(KIT_FROM, bar) * (1.0 - step(BREAK_FROM, bar) * (1.0 - step(KIT_AGAIN, bar)));
    onBeat *= 1.0 - step(OUTRO_FROM, bar);
    float halfTime = step(OUTRO_FROM, bar) * (1.0 - step(OUTRO_KICK_UNTIL, bar));
    float everyOther = 1.0 - mod(floor(beat), 2.0);
    return (onBeat * mix(SOFT_PULSE, 1.0, everyOther) + halfTime * everyOther) * exp(-7.0 * fract(beat));
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

    int part = 0;
    for (int i = 1; i < PARTS; i++)
        if (heard >= PART_BARS[i] * SECONDS_PER_BAR)
            part = i;
    float st = heard - PART_BARS[part] * SECONDS_PER_BAR;   // seconds into the part
    float flash = PART_CRASHES[part] * exp(-24.0 * max(st, 0.0));
    vHeard = heard;
    vBeat = vec4(kickPulse(heard), flash, float(part), st);

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
        vLight = vec3(-4.0, 4.0, vEye.z + 6.0);
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
        vLight = vec3(4.0, 5.5, -3.0);
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
        vLight = vec3(3.0, 6.0, 2.0);
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
        vLight = vec3(-3.0, 5.0, -4.0);
        vStyle = vec4(0.2, 1.0, 0.6, float(DANCERS + 1));
    } else {
        // The break: the kit drops out, the dancers fall back into the pearl and the camera
        // pulls away and up to show the whole floor.
        float back = smoothstep(0.0, 3.0, st);
        vSpheres[0] = vec4(0.0, 0.3 + 0.4 * back, 0.0, 1.0 + 0.3 * back);
        for (int i = 1; i <= DANCERS; i++) {
            float a = float(i) * TAU / float(DANCERS) + 0.8 * st;
            float r = 2.3 * (1.0 - back);
            vSpheres[i] = vec4(r * cos(a), 0.3 + 0.4 * back, r * sin(a), 0.5);
        }
        float dist = mix(4.4, 15.0, back);
        vEye = vec3(0.3 * dist, mix(0.6, 7.0, back), -dist);
        vLight = vec3(3.0, 6.0, -2.0);
        vStyle = vec4(0.5, 0.4, 1.0, 1.0);
    }
    vCamera = lookAt(vEye, target, up);
}
