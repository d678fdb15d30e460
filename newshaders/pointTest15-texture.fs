#version 330 core
// Scene one: the poster. A glowing diagonal wipe reveals it through a wash of the quad's
// corner colours, which then drains away to the picture's own; a glint of light sweeps
// over the print on every bar, the camera pushes in slowly, and the whole poster fades out
// before the first black gap.

in vec3 vColour;
in vec2 vTexCoord;
in float vScreenY;

uniform sampler2D texture15;
uniform vec2 u_resolution;
uniform float u_time;

out vec4 FragColor;

const float REVEAL_START = 0.4;
const float REVEAL_END = 3.0;
const float TINT_GONE = 5.0;          // by now the corner colours have drained away
const float FADE_START = 7.4;
const float FADE_END = 8.8;           // black before the gap at nine seconds
const float PUSH_IN = 0.1;            // how far the camera closes in over the scene
const float SECONDS_PER_BAR = 2.0;    // 120 BPM in 4/4
const float BEATS_PER_SECOND = 2.0;
const float ROWS_PER_SCAN_LINE = 4.0;  // of the show's picture ("u_resolution"), whatever the screen

void main()
{
    // A slow push into the middle of the poster.
    float zoom = 1.0 - PUSH_IN * smoothstep(0.0, FADE_END, u_time);
    vec2 uv = (vTexCoord - 0.5) * zoom + 0.5;
    vec4 picture = texture(texture15, uv);
    vec3 col = picture.rgb * picture.a;

    // The wipe runs from the bottom-left corner to the top-right one, its front glowing
    // in the colours of the corners it passes.
    float along = 0.5 * (vTexCoord.x + vTexCoord.y);
    float front = mix(-0.15, 1.15, smoothstep(REVEAL_START, REVEAL_END, u_time));
    float shown = smoothstep(front + 0.02, front - 0.06, along);
    float edge = exp(-abs(along - front) * 30.0) * (1.0 - smoothstep(REVEAL_END - 0.4, REVEAL_END, u_time));

    // The wash of corner colours over the freshly revealed picture.
    float tint = 1.0 - smoothstep(REVEAL_START, TINT_GONE, u_time);
    col = mix(col, col * vColour * 1.8 + vColour * 0.08, 0.75 * tint);

    // Once the poster is up, a glint of light crosses it on every bar, top left to bottom
    // right, and the print lifts a little on each beat.
    float sweep = fract((u_time - REVEAL_END) / SECONDS_PER_BAR) * 2.6 - 0.8;
    float glint = exp(-pow((vTexCoord.x - vTexCoord.y * 0.6 - sweep) * 9.0, 2.0));
    float lit = step(REVEAL_END, u_time);
    col += vec3(1.0, 0.95, 0.85) * glint * 0.35 * lit;
    col *= 1.0 + 0.08 * exp(-6.0 * fract(u_time * BEATS_PER_SECOND)) * lit;

    // A faint shimmer of scan lines, as on an old projection screen.
    float scan = 0.95 + 0.05 * sin(6.2832 * u_resolution.y / ROWS_PER_SCAN_LINE * vScreenY + u_time * 6.0);

    float fade = 1.0 - smoothstep(FADE_START, FADE_END, u_time);
    FragColor = vec4((col * shown * scan + vColour * edge) * fade, 1.0);
}
