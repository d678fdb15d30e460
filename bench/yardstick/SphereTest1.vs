#version 330 core
// The full-screen scenes' vertex stage. It passes the screen quad through and, since it runs
// only four times a frame, also works out what is the same for every pixel of the frame (the
// beat, the sphere scene's camera, light and dancers) so the fragment stage doesn't repeat it.

layout(location = 0) in vec3 aPos;

uniform float u_time;

const float SPHERE_SCENE_START = 10.0;
const float BEATS_PER_SECOND = 2.0;   // 120 BPM
const int DANCERS = 5;

flat out float vPulse;        // 1 on each beat, decaying quickly
flat out vec3 vEye;           // camera position
flat out mat3 vCamera;        // camera right, up and forward
flat out vec3 vLight;         // light position
flat out vec4 vSpheres[DANCERS + 1];   // centre and radius; the big one first

// 1 on each beat, decaying quickly.
float beatPulse(float t)
{
    return exp(-6.0 * fract(t * BEATS_PER_SECOND));
}

void main()
{
    gl_Position = vec4(aPos, 1.0);
    vPulse = beatPulse(u_time);

    float t = u_time - SPHERE_SCENE_START;

    // The camera circles the dance, rising slowly; the light circles the other way.
    float orbit = 0.18 * t + 0.6;
    vEye = vec3(7.5 * sin(orbit), 1.2 + 1.6 * (0.5 - 0.5 * cos(t * 0.2)), -7.5 * cos(orbit));
    vec3 forward = normalize(vec3(0.0, 0.4, 0.0) - vEye);
    vec3 right = normalize(cross(vec3(0.0, 1.0, 0.0), forward));
    vCamera = mat3(right, cross(forward, right), forward);
    vLight = vec3(5.0 * cos(-t * 0.4), 5.0, 5.0 * sin(-t * 0.4));

    // A big sphere that breathes with the beat, circled by bobbing dancers.
    vSpheres[0] = vec4(0.0, 0.35 + 0.25 * sin(t * 0.9), 0.0, 1.0 + 0.12 * vPulse);
    for (int i = 1; i <= DANCERS; i++) {
        float a = float(i) * 6.2832 / float(DANCERS) + t * 0.55;
        float lift = 0.6 * sin(t * 1.7 + float(i) * 2.1);
        vSpheres[i] = vec4(2.6 * cos(a), 0.2 + lift, 2.6 * sin(a), 0.5 + 0.05 * vPulse);
    }
}
