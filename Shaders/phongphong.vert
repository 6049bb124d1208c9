// Per-pixel Phong, vertex side: world-space position and normal, the texture
// coordinate, the vertex colour and the position in shadow-map space.
#version 150
#extension GL_ARB_explicit_attrib_location : require

layout(location = 0) in vec4 in_position;
layout(location = 1) in vec3 in_normal;
layout(location = 2) in vec2 in_texture;
layout(location = 3) in vec3 in_colour;

uniform mat4 proj_mat;
uniform mat4 view_mat;
uniform mat4 model_mat;
uniform mat4 normal_mat;
uniform mat4 shadow_mat;
uniform vec3 viewing;

out vec3 world_position;
out vec3 world_normal;
out vec2 tex_coord;
out vec3 vertex_colour;
out vec4 shadow_coord;
// The same for every vertex of a draw: worked out here, not per pixel.
flat out vec3 view_direction;

void main()
{
    vec4 world = model_mat * in_position;
    world_position = world.xyz;
    world_normal = mat3(normal_mat) * in_normal;
    tex_coord = in_texture;
    vertex_colour = in_colour;
    shadow_coord = shadow_mat * in_position;
    view_direction = length(viewing) > 0.0 ? normalize(viewing) : vec3(0.0, 0.0, 1.0);
    gl_Position = proj_mat * view_mat * world;
}
