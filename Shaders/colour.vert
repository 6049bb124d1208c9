// Shadow pass: object positions seen from the light; only depth matters.
#version 150
#extension GL_ARB_explicit_attrib_location : require

layout(location = 0) in vec4 in_position;

uniform mat4 proj_mat;
uniform mat4 view_mat;
uniform mat4 model_mat;

void main()
{
    gl_Position = proj_mat * view_mat * model_mat * in_position;
}
