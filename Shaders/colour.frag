// Shadow pass: the depth buffer is the result; the colour is a placeholder.
#version 150

out vec4 out_color;

void main()
{
    out_color = vec4(1.0);
}
