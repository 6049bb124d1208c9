// What the light sees: white where the light reaches a surface, dark where
// the shadow map holds something nearer to the light. Used to inspect the
// shadow map.
#version 150

uniform sampler2DShadow shadow_map;

in vec4 shadow_coord;
in float facing;

out vec4 out_color;

void main()
{
    float lit = 1.0;
    if (shadow_coord.w > 0.0) {
        vec3 p = shadow_coord.xyz / shadow_coord.w;
        if (p.z < 1.0) lit = texture(shadow_map, vec3(p.xy, p.z - mix(0.0004, 0.00004, facing)));
    }
    out_color = vec4(vec3(0.2 + 0.8 * lit * facing), 1.0);
}
