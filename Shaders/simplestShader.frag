// The smallest model program: one flat colour. Its only output needs no
// binding; a single output always lands on colour 0.
#version 150

out vec4 flat_colour;

void main()
{
    flat_colour = vec4(0.9, 0.9, 1.0, 1.0);
}
