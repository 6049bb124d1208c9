// What the light sees: position on screen and in shadow-map space.
#version 150
#extension GL_ARB_explicit_attrib_location : require

layout(location = 0) in vec4 in_position;
layout(location = 1) in vec3 in_normal;

uniform mat4 proj_mat;
uniform mat4 view_mat;
uniform mat4 model_mat;
uniform mat4 normal_mat;
uniform mat4 shadow_mat;
uniform vec3 light;

out vec4 shadow_coord;
out float facing;

void main()
{
    vec4 world = model_mat * in_position;
    vec3 n = normalize(mat3(normal_mat) * in_normal);
    facing = max(dot(n, normalize(light - world.xyz)), 0.0);
    shadow_coord = shadow_mat * in_position;
    gl_Position = proj_mat * view_mat * world;
}
