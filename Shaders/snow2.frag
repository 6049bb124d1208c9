// Snow points: white, as bright as the multiplying blend allows.
#version 150

in float brightness;

out vec4 out_color;

void main()
{
    out_color = vec4(vec3(brightness), 1.0);
}
