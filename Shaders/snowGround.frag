// Snow-covered ground: white with a faint blue in the shade.
#version 150

uniform vec3 light;
uniform vec3 ambient;

in vec3 world_normal;
in vec3 world_position;

out vec4 out_color;

void main()
{
    vec3 n = normalize(world_normal);
    vec3 l = normalize(light - world_position);
    float diffuse = max(dot(n, l), 0.0);
    vec3 shade = vec3(0.80, 0.85, 1.0) * max(ambient, vec3(0.3));
    out_color = vec4(min(shade + vec3(diffuse) * 0.7, vec3(1.0)), 1.0);
}
