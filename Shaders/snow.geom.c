// Snow update, geometry stage: moves, ages, kills and spawns flakes. Runs with
// the rasterizer off; the emitted records are captured by transform feedback.
//
// Record: life (seconds left), type, vel (fall speed factor), position, dir
// (sideways drift). type > 0 marks one of the 200 emitters of the first
// generation and holds the seconds until it next spawns. Children have type 0
// (sky children: anywhere over the play area, long-lived) or -1 (near
// children: around the viewer, short-lived). position.w is how visible the
// flake is (0..1), so children fade in and out instead of popping.
//
// An emitter with dir.x >= 0.25 makes sky children, the others near children;
// dir never changes, so neither does an emitter's kind.
//
// Capacity bound (the buffers hold 10 000 records, whatever the frame time):
// - emitters never die (they are reborn) and children never become emitters,
//   so there are always exactly 200 emitters;
// - an emitter spawns at most one child per update (max_vertices = 2: itself
//   plus that child), and only once its timer has run out; the timer is then
//   set to at least the kind's minimum interval, so two children of one
//   emitter are born at least that much frame time apart;
// - a child is dropped in the update whose frame time brings its life to
//   zero, and it starts with at most its kind's life.
// So one emitter has at most SKY_LIFE / SKY_MIN_INTERVAL = 40 or
// NEAR_LIFE / NEAR_MIN_INTERVAL = 40 children alive (41 allowing for
// rounding), and an update writes at most 200 * (1 + 41) = 8400 records.
#version 150

layout(points) in;
layout(points, max_vertices = 2) out;

uniform sampler1D sampler;  // 100 texels, each channel an integer 0..99
uniform vec2 random;        // two integers 0..9, new every frame
uniform float time;         // frame time in seconds
uniform float alpha;
uniform mat4 proj_mat;
uniform mat4 view_mat;

in float vs_life[];
in float vs_type[];
in float vs_vel[];
in vec4 vs_position[];
in vec2 vs_dir[];

out float tf_life;
out float tf_type;
out float tf_vel;
out vec4 tf_position;
out vec2 tf_dir;

const float EMITTER_LIFE = 40.0;        // enough to fall from the top at the slowest speed
const float SKY_LIFE = 32.0;
const float SKY_MIN_INTERVAL = 0.8;
const float SKY_INTERVAL_SPREAD = 0.4;
const float NEAR_LIFE = 6.0;
const float NEAR_MIN_INTERVAL = 0.15;
const float NEAR_INTERVAL_SPREAD = 0.1;
const float NEAR_TYPE = -1.0;
const float NEAR_AHEAD = 30.0;          // near children gather this far in front of the eye
const float NEAR_RADIUS = 45.0;
const float FADE = 0.5;                 // seconds to fade in and out
const float FALL_SPEED = 8.0;           // units per second at vel 1
const float TOP = 205.0;
const float AREA = 400.0;               // sky flakes live over x, z in -AREA..AREA

// Three numbers in 0..1 from the random texture. The linear filter blends
// neighbouring texels, so any seed gives a fresh mix.
vec3 noise(float seed)
{
    vec3 t = texture(sampler, seed + random.x * 0.1 + random.y * 0.01).rgb;
    return fract(t * 0.01 + t.yzx * 0.1373 + seed * 7.13);
}

// The view is a rotation and a translation, so undoing it needs no general
// matrix inverse.
vec3 viewerPosition()
{
    return -(transpose(mat3(view_mat)) * view_mat[3].xyz);
}

vec3 viewerForward()
{
    return -vec3(view_mat[0][2], view_mat[1][2], view_mat[2][2]);
}

void emit(float life, float type, float vel, vec4 position, vec2 dir)
{
    tf_life = life;
    tf_type = type;
    tf_vel = vel;
    tf_position = position;
    tf_dir = dir;
    gl_Position = vec4(position.xyz, 1.0);
    EmitVertex();
    EndPrimitive();
}

float fade(float life, float fullLife)
{
    return clamp(life / FADE, 0.0, 1.0) * clamp((fullLife - life) / FADE, 0.0, 1.0);
}

vec4 skyBirthplace(vec3 n, vec3 m)
{
    // Anywhere over the play area, more often high up (the square root), so
    // the far column fills at once and stays about evenly filled.
    return vec4((n.x * 2.0 - 1.0) * AREA, 5.0 + (TOP - 5.0) * sqrt(m.x), (n.z * 2.0 - 1.0) * AREA, 0.0);
}

vec4 nearBirthplace(vec3 n, vec3 m)
{
    // A few thousand flakes over the whole area are too thin to see from a
    // camera that looks down at the heroine from close by, so most are born
    // just in front of the eye, from a little below it to a little above.
    vec3 eye = viewerPosition();
    vec3 ahead = viewerForward();
    vec2 heading = length(ahead.xz) > 0.001 ? normalize(ahead.xz) : vec2(0.0);
    vec2 centre = clamp(eye.xz + heading * NEAR_AHEAD, vec2(-AREA), vec2(AREA));
    float radius = NEAR_RADIUS * sqrt(n.x);
    float angle = 6.2831853 * n.z;
    float y = clamp(eye.y + (m.x - 0.6) * 60.0, 1.0, TOP);
    return vec4(centre.x + radius * cos(angle), y, centre.y + radius * sin(angle), 0.0);
}

void main()
{
    // A negative, zero or nonsensical step freezes the snow instead of
    // resurrecting it; very long steps just mean everything lands.
    float dt = time > 0.0 ? min(time, 1000.0) : 0.0;

    float life = vs_life[0] - dt;
    float type = vs_type[0];
    float vel = vs_vel[0];
    vec4 position = vs_position[0];
    vec2 dir = vs_dir[0];

    // Sideways: a steady drift from dir, a sway that follows the height (so it
    // needs no clock), and this frame's gust shared by all flakes.
    vec2 drift = (dir - vec2(0.2)) * 10.0;
    vec2 sway = vec2(sin(position.y * 0.15 + dir.x * 31.4), cos(position.y * 0.11 + dir.y * 31.4)) * 1.5;
    vec2 gust = (random - vec2(4.5)) * 0.3;
    vec2 sideways = drift + sway + gust;
    position.xyz += vec3(sideways.x, -FALL_SPEED * vel, sideways.y) * dt;

    float seed = fract(dot(vs_position[0].xz, vec2(0.00731, 0.01377)) + vs_position[0].y * 0.0191 +
                       float(gl_PrimitiveIDIn) * 0.0061);
    bool landed = position.y <= 0.0;
    bool expired = !(life > 0.0);

    if (type > 0.0) {
        if (landed || expired) {
            // Reborn near the top somewhere over the play area.
            vec3 n = noise(seed);
            position = vec4((n.x * 2.0 - 1.0) * AREA, TOP - n.y * 20.0, (n.z * 2.0 - 1.0) * AREA, 1.0);
            life = EMITTER_LIFE;
        }
        bool sky = dir.x >= 0.25;
        float minInterval = sky ? SKY_MIN_INTERVAL : NEAR_MIN_INTERVAL;
        float spread = sky ? SKY_INTERVAL_SPREAD : NEAR_INTERVAL_SPREAD;
        float timer = min(type, minInterval + spread) - dt;
        bool spawn = timer <= 0.0;
        if (spawn)
            timer = minInterval + spread * noise(seed + 0.37).x;
        position.w = 1.0;
        emit(life, max(timer, 0.001), vel, position, dir);

        if (spawn) {
            vec3 n = noise(seed + 0.53);
            vec3 m = noise(seed + 0.71);
            vec4 birthplace = sky ? skyBirthplace(n, m) : nearBirthplace(n, m);
            emit(sky ? SKY_LIFE : NEAR_LIFE, sky ? 0.0 : NEAR_TYPE, 0.8 + 0.4 * m.y, birthplace,
                 vec2(n.y, m.z) * 0.4);
        }
    } else if (!landed && !expired) {
        position.w = fade(life, type < -0.5 ? NEAR_LIFE : SKY_LIFE);
        emit(life, type, vel, position, dir);
    }
}
