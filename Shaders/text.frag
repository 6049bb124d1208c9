// The images keep pure black as background and their content at a brightest
// channel of at least 0.2, so near-black texels are cut out; what is left is
// tinted by the vertex colour (black for text, white for pictures).
#version 150

uniform sampler2D texUnit;

in vec2 tex_coord;
in vec3 tint;

out vec4 out_texture;

void main()
{
    vec4 texel = texture(texUnit, tex_coord);
    if (max(texel.r, max(texel.g, texel.b)) < 0.1)
        discard;
    out_texture = vec4(texel.rgb * tint, 1.0);
}
