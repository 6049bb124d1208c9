// Height-map capture: one float per pixel, the world height, in red.
#version 150

in float height;

out vec4 out_color;

void main()
{
    out_color = vec4(height, 0.0, 0.0, 1.0);
}
