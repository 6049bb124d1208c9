// Snow points: each flake at its place, as visible as its record says
// (position.w, 0..1), far ones fading into the distance.
#version 150
#extension GL_ARB_explicit_attrib_location : require

layout(location = 0) in vec4 in_position;

uniform mat4 proj_mat;
uniform mat4 view_mat;
uniform float alpha;
uniform float time;  // seconds since start

out float brightness;

void main()
{
    vec4 eye = view_mat * vec4(in_position.xyz, 1.0);
    gl_Position = proj_mat * eye;
    float twinkle = 0.9 + 0.1 * sin(time * 3.0 + in_position.x * 0.7 + in_position.z * 1.3);
    float nearness = 1.0 - smoothstep(500.0, 1000.0, length(eye.xyz));
    float visible = clamp(in_position.w, 0.0, 1.0);
    // The blend doubles src * dst: 0.5 leaves the background as it is, 1.0
    // brightens it the most.
    brightness = 0.5 + 0.5 * clamp(alpha, 0.0, 1.0) * visible * nearness * twinkle;
}
