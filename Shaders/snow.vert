// Snow update, vertex stage: hands each particle record to the geometry stage.
#version 150
#extension GL_ARB_explicit_attrib_location : require

layout(location = 0) in vec4 in_position;
layout(location = 1) in float in_life;
layout(location = 2) in float in_type;
layout(location = 3) in float in_vel;
layout(location = 4) in vec2 in_dir;

out float vs_life;
out float vs_type;
out float vs_vel;
out vec4 vs_position;
out vec2 vs_dir;

void main()
{
    vs_life = in_life;
    vs_type = in_type;
    vs_vel = in_vel;
    vs_position = in_position;
    vs_dir = in_dir;
    gl_Position = in_position;
}
