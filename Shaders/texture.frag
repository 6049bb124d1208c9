// Textured models (the heroine, the ghosts, the torte) with per-pixel Phong
// and the shadow map. Without a texture bound the vertex colour shows.
// Colours are treated as sRGB and lit in linear light; the framebuffer
// encodes the result again.
#version 150

uniform sampler2D texUnit;
uniform sampler2DShadow shadow_map;
uniform vec3 light;
uniform vec3 ambient;
uniform vec3 intensity;
uniform float textured;  // 1 with a texture bound, 0 for the vertex colour
uniform float diffuse;
uniform float specular;
uniform float shininess;
uniform float alpha;
uniform float torte;

in vec3 world_position;
in vec3 world_normal;
in vec2 tex_coord;
in vec3 vertex_colour;
in vec4 shadow_coord;
flat in vec3 view_direction;

out vec4 out_texture;

// 1 where the light reaches the point, 0 in shadow, soft in between: with
// linear filtering on the depth-compare texture one lookup already blends
// the comparisons of four neighbouring texels. Points behind the light or
// beyond its far plane have nothing in the map to be shadowed by.
float light_reaches(vec4 coord, float facing)
{
    if (coord.w <= 0.0 || coord.z >= coord.w) return 1.0;
    // The map holds the casters' back faces, so lit faces sit well in front
    // of what they are compared with; a small bias keeps contact shadows
    // attached, a little more on faces turned away from the light. The
    // projected lookup divides by w once for all three coordinates.
    float bias = mix(0.0004, 0.00004, facing);
    return textureProj(shadow_map, vec4(coord.xy, coord.z - bias * coord.w, coord.w));
}

// Gamma 2 rather than 2.2: a square costs a fraction of a pow per pixel in
// a software rasteriser, and the difference is hard to see.
vec3 to_linear(vec3 c) { return c * c; }

void main()
{
    vec3 base = to_linear(textured > 0.5 ? texture(texUnit, tex_coord).rgb : vertex_colour);

    vec3 n = normalize(world_normal);
    if (!gl_FrontFacing) n = -n;
    vec3 l = normalize(light - world_position);
    vec3 v = view_direction;
    float facing = max(dot(n, l), 0.0);
    float lit = facing > 0.0 ? light_reaches(shadow_coord, facing) : 0.0;

    // Snow bounces blue sky light into the landscape's shade.
    vec3 fill = mix(vec3(0.15), vec3(0.13, 0.15, 0.18), torte);
    vec3 shade = ambient + fill + (diffuse + 0.45) * facing * lit;
    float gloss = specular * pow(max(dot(reflect(-l, n), v), 0.0), max(shininess, 1.0)) * lit;
    out_texture = vec4(intensity * (base * shade + vec3(gloss)), alpha);
}
