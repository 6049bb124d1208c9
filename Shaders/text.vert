// Overlay glyphs, cake icons and end screens: a textured quad in pixel space.
#version 150
#extension GL_ARB_explicit_attrib_location : require

layout(location = 0) in vec4 in_position;
layout(location = 2) in vec2 in_texture;
layout(location = 3) in vec3 in_colour;

uniform mat4 proj_mat;
uniform mat4 view_mat;
uniform mat4 model_mat;

out vec2 tex_coord;
out vec3 tint;

void main()
{
    tex_coord = in_texture;
    tint = in_colour;
    gl_Position = proj_mat * view_mat * model_mat * in_position;
}
