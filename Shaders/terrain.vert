// Height-map capture: the capture view maps world y to eye z, so the eye-space
// z of a landscape vertex is its world height.
#version 150
#extension GL_ARB_explicit_attrib_location : require

layout(location = 0) in vec4 in_position;

uniform mat4 pvm_mat;
uniform mat4 vm_mat;
uniform mat4 normal_mat;

out float height;

void main()
{
    // The view is a quarter turn about x, but cos(90 degrees) in floats is
    // -4.4e-8, not 0: left in, it tilts the map by 2e-5 across the torte and
    // shifts truncated grey levels. Entries that much smaller than the rest
    // of the row are rounding, not geometry.
    vec4 row = vec4(vm_mat[0][2], vm_mat[1][2], vm_mat[2][2], vm_mat[3][2]);
    float scale = max(abs(row.x), max(abs(row.y), abs(row.z)));
    row.xyz = mix(row.xyz, vec3(0.0), lessThan(abs(row.xyz), vec3(scale * 1e-6)));
    height = dot(row, in_position);
    gl_Position = pvm_mat * in_position;
}
