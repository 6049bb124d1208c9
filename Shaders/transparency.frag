// The see-through ghost. It is drawn under the multiplying blend
// (result = 2 * source * destination), where a source of 0.5 leaves the
// background as it is: the lit ghost is mixed towards 0.5 by its alpha, so
// the background shows through a pale, lightly shaded veil. Its silhouette is
// a little more solid than its middle. No shadow lookup: the ghost floats
// high, and with culling off it is drawn without the shadow map bound.
#version 150

uniform vec3 light;
uniform vec3 ambient;
uniform vec3 intensity;
uniform vec3 viewing;
uniform float diffuse;
uniform float specular;
uniform float shininess;
uniform float alpha;

in vec3 world_position;
in vec3 world_normal;
in vec3 vertex_colour;

out vec4 out_color;

void main()
{
    vec3 base = pow(max(vertex_colour, vec3(0.0)), vec3(2.2));
    vec3 n = normalize(world_normal);
    if (!gl_FrontFacing) n = -n;
    vec3 l = normalize(light - world_position);
    vec3 v = length(viewing) > 0.0 ? normalize(viewing) : vec3(0.0, 0.0, 1.0);
    float facing = max(dot(n, l), 0.0);
    vec3 shade = ambient + vec3(0.35) + (diffuse + 0.5) * facing;
    float gloss = specular * pow(max(dot(reflect(-l, n), v), 0.0), max(shininess, 1.0));
    // A faint blue in the veil so it reads as a spirit, not a hole.
    vec3 lit = intensity * (base * shade * vec3(0.92, 0.96, 1.0) + vec3(gloss));

    float rim = 1.0 - abs(dot(n, v));
    float weight = clamp((1.0 - alpha) * (1.0 + 1.2 * rim * rim), 0.0, 1.0);
    out_color = vec4(mix(vec3(0.5), lit, weight), alpha);
}
