#version 330 core
// Scene 3: a lit sphere under a light that circles it, over a dark gradient.
uniform vec2 u_resolution;
uniform float u_time;

out vec4 fragColour;

void main()
{
    vec2 p = (2.0 * gl_FragCoord.xy - u_resolution) / u_resolution.y;
    vec3 background = vec3(0.02, 0.03, 0.08) * (1.0 - 0.3 * p.y);
    float r2 = dot(p, p) / 0.49;
    if (r2 > 1.0) {
        fragColour = vec4(background, 1.0);
        return;
    }
    vec3 normal = vec3(p / 0.7, sqrt(1.0 - r2));
    vec3 light = normalize(vec3(cos(u_time * 0.8), 0.6, sin(u_time * 0.8) + 0.5));
    float diffuse = max(dot(normal, light), 0.0);
    float rim = pow(1.0 - normal.z, 3.0);
    vec3 colour = vec3(0.2, 0.5, 0.9) * (0.1 + diffuse) + vec3(0.6, 0.3, 0.9) * rim;
    fragColour = vec4(colour, 1.0);
}
