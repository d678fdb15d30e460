#version 330 core
// Scene 1: the picture, with a faint corner tint that breathes and a soft screen vignette.
in vec3 tint;
in vec2 texCoord;

uniform sampler2D texture15;
uniform vec2 u_resolution;
uniform float u_time;

out vec4 fragColour;

void main()
{
    vec4 picture = texture(texture15, texCoord);
    float breath = 0.06 + 0.04 * sin(u_time * 1.7);
    vec2 centred = gl_FragCoord.xy / u_resolution - 0.5;
    float vignette = 1.0 - 0.5 * dot(centred, centred);
    fragColour = vec4(mix(picture.rgb, tint, breath) * vignette, picture.a);
}
