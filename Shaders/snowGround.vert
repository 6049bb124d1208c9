// Snow-covered ground: plain diffuse lighting in world space.
#version 150
#extension GL_ARB_explicit_attrib_location : require

layout(location = 0) in vec4 in_position;
layout(location = 1) in vec3 in_normal;

uniform mat4 proj_mat;
uniform mat4 view_mat;
uniform mat4 model_mat;
uniform mat4 normal_mat;

out vec3 world_normal;
out vec3 world_position;

void main()
{
    vec4 world = model_mat * in_position;
    world_position = world.xyz;
    world_normal = (normal_mat * vec4(in_normal, 0.0)).xyz;
    gl_Position = proj_mat * view_mat * world;
}
