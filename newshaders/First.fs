#version 330 core
// Scene 2: drifting interference bands in warm colours.
uniform vec2 u_resolution;
uniform float u_time;

out vec4 fragColour;

void main()
{
    vec2 p = (2.0 * gl_FragCoord.xy - u_resolution) / u_resolution.y;
    float v = sin(p.x * 3.0 + u_time)
            + sin(p.y * 4.0 - u_time * 0.7)
            + sin(length(p - vec2(sin(u_time * 0.3), cos(u_time * 0.4))) * 6.0 - u_time * 1.3);
    vec3 colour = 0.5 + 0.5 * cos(v * 1.6 + vec3(0.0, 0.8, 1.6));
    fragColour = vec4(colour * vec3(1.0, 0.75, 0.5), 1.0);
}
