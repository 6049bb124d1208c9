// The see-through ghost, vertex side: world-space position and normal and
// the vertex colour.
#version 150
#extension GL_ARB_explicit_attrib_location : require

layout(location = 0) in vec4 in_position;
layout(location = 1) in vec3 in_normal;
layout(location = 3) in vec3 in_colour;

uniform mat4 proj_mat;
uniform mat4 view_mat;
uniform mat4 model_mat;
uniform mat4 normal_mat;

out vec3 world_position;
out vec3 world_normal;
out vec3 vertex_colour;

void main()
{
    vec4 world = model_mat * in_position;
    world_position = world.xyz;
    world_normal = mat3(normal_mat) * in_normal;
    vertex_colour = in_colour;
    gl_Position = proj_mat * view_mat * world;
}
