// autopilot: a player for the harness. It reads the owl, the pigeons and the lamps after each frame
// and queues key presses and releases for the next one; it draws no random numbers, so a run stays
// as deterministic as its seed and script.

#include "autopilot.h"

#include "gameLocal.h"  // owl, pigeons, lamps, the swoop level and the counts in play
#include "main.h"       // gameMode

#include <cmath>  // atan2f, sinf, cosf, sqrtf, floorf, fminf, fmaxf, fabsf

//---- Constants

static const float SWOOP_SPEED = 900.0f;  // px/s along the heading while swooping
static const float TURN_RATE = 310.0f;    // degrees per second with Left or Right held in a swoop
static const float START_ANGLE = 30.0f;   // a swoop starts diving at this heading
static const float GRAVITY = 1080.0f;     // px/s^2 in normal flight, wings down
static const float FLAP_SPEED = -3.5f;    // fallSpeed right after a down-stroke
static const float FALL_UNIT = 120.0f;    // px/s per fallSpeed unit
static const float LAMP_SAFE = 60.0f;     // clearance kept from lamp heads in flight (35 kills)
static const float SWOOP_SAFE = 50.0f;    // clearance it keeps along a swoop's straight path
static const float CRUISE_Y = 170.0f;     // height held in normal flight, above every lamp head
static const float SEEK_Y = 420.0f;       // height held when flying into the lamps
static const float HOME_LEFT = 170.0f;    // normal flight keeps x between these, so that pigeons
static const float HOME_RIGHT = 360.0f;   // and lamps come into view well before they arrive
static const float CHASE_TIME = 0.55f;    // seconds: a pigeon further away is not worth a swoop
static const float PATH_TIME = 0.6f;      // seconds of normal flight looked ahead for lamps
static const float SWOOP_LOOK = 0.35f;    // seconds of a swoop looked ahead for lamps
static const float HOME_X = 260.0f;       // where a swoop without a target heads (at CRUISE_Y)
static const float MEET_RIGHT = 800.0f;   // pigeons are met left of this, where lamps show early

//---- Types

enum PilotKey { PILOT_UP, PILOT_LEFT, PILOT_RIGHT, PILOT_SPACE, PILOT_KEYS };

// Where a swoop aimed now would meet a moving target.
struct Aim {
    bool found;
    float heading;  // degrees, the owl's convention: 0 to the right, positive nose down
    float time;     // seconds to the meeting point, turning included
};

//---- State

static const NUX_Key KEY_OF[PILOT_KEYS] = {NUX_KEY_UP, NUX_KEY_LEFT, NUX_KEY_RIGHT, NUX_KEY_SPACE};

static bool enabled = false;
static int lampsFrom = 0;      // the game of the run from which the pilot seeks lamps; 0 never
static int gamesSeen = 0;      // games entered so far in this run
static int lastMode = -1;      // the mode seen on the previous frame
static bool held[PILOT_KEYS];  // keys the pilot holds down at the moment

//---- Geometry

// An angle brought into -180 .. 180 degrees, for the shorter way round.
static float wrapDegrees(float a)
{
    return a - 360.0f * floorf((a + 180.0f) / 360.0f);
}

// Straight-line distance between two points of the screen.
static float separation(float x, float y, float hx, float hy)
{
    float dx = hx - x, dy = hy - y;
    return sqrtf(dx * dx + dy * dy);
}

// Number of pool entries the game updates for a fractional count (2.5 citizens are 3).
static int inPlay(float count, int pool)
{
    int n = 0;
    while (n < pool && n < count)
        n++;
    return n;
}

// The point a pigeon is struck at (its sprite's corner plus 16 px, scaled), t seconds from now:
// it keeps its speed, rides its wave, and flees up or down once the owl is within 250 px.
static void pigeonAt(const Pigeon& p, float t, float* px, float* py)
{
    float x = p.x - p.speed * t;
    float baseY = p.baseY;
    float d0 = separation(owl.x, owl.y, p.x, p.y);
    float fleeTime = d0 < 250.0f ? t : fminf(t, 250.0f / (SWOOP_SPEED + p.speed));
    baseY += (p.y > owl.y ? 1.0f : -1.0f) * p.fleeSpeed * fleeTime;
    float y = baseY + 30.0f * sinf(x / p.wavePeriod);
    *px = x + 16.0f * p.frame1->sprite.scaleX;
    *py = y + 16.0f * p.frame1->sprite.scaleY;
}

// The owl's own drift (driftX px per frame, decaying) carries it along during t seconds.
static float driftAfter(float t, float dt)
{
    float frames = t / dt;
    float decay = 2.8f * dt;
    float stop = fabsf(owl.driftX) / decay;
    if (frames > stop)
        frames = stop;
    float sign = owl.driftX < 0 ? -1.0f : 1.0f;
    return owl.driftX * frames - sign * 0.5f * decay * frames * frames;
}

// A swoop at full speed toward a target whose position at time t is given by where(t), starting
// from the heading fromAngle: the heading to hold and the time it takes, turning included.
template <class Where> static Aim aimAt(Where where, float fromAngle, float dt)
{
    Aim aim = {false, 0.0f, 0.0f};
    float t = 0.0f, tx = 0.0f, ty = 0.0f;
    for (int i = 0; i < 5; i++) {
        where(t, &tx, &ty);
        float ox = owl.x + driftAfter(t, dt);
        t = separation(ox, owl.y, tx, ty) / SWOOP_SPEED;
    }
    where(t, &tx, &ty);
    float ox = owl.x + driftAfter(t, dt);
    aim.heading = atan2f(ty - owl.y, tx - ox) * 57.29578f;
    float turn = fabsf(wrapDegrees(aim.heading - fromAngle)) / TURN_RATE;
    aim.time = t + 0.5f * turn;
    // The owl cannot rise above y 80 nor pass x 924; such meeting points are out of reach.
    aim.found = ty > 70.0f && ty < 600.0f && tx > 20.0f && tx < MEET_RIGHT;
    return aim;
}

//---- Lamps

// The smallest distance between the owl's centre and a lamp head in play over the next seconds.
// Swooping, the owl keeps turning one way (turn -1: Left held, pulling up; 1: Right held, diving;
// 0: straight on) from the heading angle. In normal flight it starts dy pixels lower than now (a
// swoop's end lifts it by 50) and either flaps whenever its climb has slowed (flap) or falls.
static float lampClearance(bool swoop, float angle, int turn, bool flap, float dy, float seconds, float dt)
{
    const int lampCount = inPlay(gameScore.numLamps, LAMP_POOL);
    float x = owl.x, y = owl.y + dy, fall = owl.fallSpeed, drift = owl.driftX;
    if (!swoop && flap)
        fall = FLAP_SPEED;
    float nearest = 1e9f;
    for (float t = 0.0f; t <= seconds; t += dt) {
        if (swoop) {
            angle += turn * TURN_RATE * dt;
            x += cosf(angle * 0.017453292f) * SWOOP_SPEED * dt;
            y += sinf(angle * 0.017453292f) * SWOOP_SPEED * dt;
            if (y > 768.0f)
                y = 698.0f;
        } else {
            fall += 9.0f * dt;
            y += fall * FALL_UNIT * dt;
            if (flap && fall > -1.0f)
                fall = FLAP_SPEED;
            if (y > 768.0f)
                fall = FLAP_SPEED;
        }
        x += drift;
        x = fminf(fmaxf(x, 40.0f), 924.0f);
        y = fmaxf(y, 80.0f);
        for (int i = 0; i < lampCount; i++) {
            const Lamp& lamp = street.lamps[i];
            float hx = lamp.x - lamp.speed * (t + dt) + 26.0f, hy = lamp.y + 36.0f;
            nearest = fminf(nearest, separation(x, y, hx, hy));
        }
    }
    return nearest;
}

// The safer of the two ways of normal flight from here: flapping or falling.
static float flightClearance(float dy, float dt)
{
    return fmaxf(lampClearance(false, 0.0f, 0, true, dy, PATH_TIME, dt),
                 lampClearance(false, 0.0f, 0, false, dy, PATH_TIME, dt));
}

//---- Choosing

// The pigeon that a swoop from the current heading reaches first, if any is worth chasing.
static Aim bestPigeon(float fromAngle, float limit, float dt)
{
    Aim best = {false, 0.0f, 0.0f};
    for (int i = 0; i < gameScore.numPigeons; i++) {
        const Pigeon& p = flock.pigeons[i];
        if (p.struck || p.x > 1010.0f || p.x < -10.0f || p.baseY > 550.0f || p.y < 40.0f)
            continue;
        Aim aim = aimAt([&p](float t, float* x, float* y) { pigeonAt(p, t, x, y); }, fromAngle, dt);
        if (aim.found && aim.time < limit && (!best.found || aim.time < best.time))
            best = aim;
    }
    return best;
}

// The lamp head that a swoop reaches first (when the pilot is meant to die).
static Aim bestLamp(float fromAngle, float limit, float dt)
{
    Aim best = {false, 0.0f, 0.0f};
    const int lampCount = inPlay(gameScore.numLamps, LAMP_POOL);
    for (int i = 0; i < lampCount; i++) {
        const Lamp& lamp = street.lamps[i];
        if (lamp.x > 1000.0f || lamp.x < 0.0f)
            continue;
        auto where = [&lamp](float t, float* x, float* y) {
            *x = lamp.x - lamp.speed * t + 26.0f;
            *y = lamp.y + 36.0f;
        };
        Aim aim = aimAt(where, fromAngle, dt);
        if (aim.found && aim.time < limit && (!best.found || aim.time < best.time))
            best = aim;
    }
    return best;
}

// Seconds of swooping left before the energy runs out (unlimited from swoop level 10).
static float swoopTimeLeft()
{
    float drain = 0.8f - gameScore.swoopLevel / 12.0f;
    return drain > 0.0f ? owl.swoopEnergy / drain : 1e9f;
}

//---- Flying

// Holds Left, Right or neither for this frame: turn -1 pulls up, 1 dives.
static void steer(bool want[PILOT_KEYS], int turn)
{
    want[PILOT_LEFT] = turn < 0;
    want[PILOT_RIGHT] = turn > 0;
}

// The turn that brings the heading toward wanted this frame (0 once it is within half a frame's turn).
static int turnToward(float wanted, float angle, float dt)
{
    float diff = wrapDegrees(wanted - angle);
    float step = TURN_RATE * dt;
    return diff > 0.5f * step ? 1 : diff < -0.5f * step ? -1 : 0;
}

// Of the three ways to turn, the wanted one if its arc stays clear of the lamp heads, else the clearest.
static int safeTurn(float angle, int wanted, float dt)
{
    float clear[3];
    for (int turn = -1; turn <= 1; turn++)
        clear[turn + 1] = lampClearance(true, angle, turn, false, 0.0f, SWOOP_LOOK, dt);
    if (clear[wanted + 1] > SWOOP_SAFE)
        return wanted;
    int best = wanted;
    for (int turn = -1; turn <= 1; turn++)
        if (clear[turn + 1] > clear[best + 1])
            best = turn;
    return best;
}

// In a swoop: steer toward the target and keep clear of the lamps. Without a target the owl
// heads home, and lets go of space once normal flight from where it is would be safe.
static void flySwoop(bool want[PILOT_KEYS], bool seekLamps, float dt)
{
    float left = swoopTimeLeft();
    Aim aim = seekLamps ? bestLamp(owl.angle, fminf(left, 0.9f), dt) : bestPigeon(owl.angle, fminf(left, 0.9f), dt);
    if (seekLamps) {
        want[PILOT_SPACE] = aim.found;
        if (aim.found)
            steer(want, turnToward(aim.heading, owl.angle, dt));
        return;
    }
    float heading = aim.found ? aim.heading : atan2f(CRUISE_Y - owl.y, HOME_X - owl.x) * 57.29578f;
    int turn = safeTurn(owl.angle, turnToward(heading, owl.angle, dt), dt);
    bool release = !aim.found && flightClearance(-50.0f, dt) > LAMP_SAFE &&
                   (left < 5.0f || separation(owl.x, owl.y, HOME_X, CRUISE_Y) < 150.0f);
    want[PILOT_SPACE] = !release;
    if (!release)
        steer(want, turn);
}

// Normal flight: start a swoop at a target in reach, else hold the cruising height with flaps
// and the home band with taps of Left and Right, keeping clear of the lamp heads; when neither
// flapping nor falling would clear a lamp, swoop out of its way.
static void flyNormal(bool want[PILOT_KEYS], bool seekLamps, float dt)
{
    // A swoop needs a fresh press of space; one still held from a swoop that ran dry is let go first.
    const bool canSwoop = !held[PILOT_SPACE] && !held[PILOT_UP];
    if (canSwoop) {
        float limit = fminf(swoopTimeLeft(), seekLamps ? 1.2f : CHASE_TIME);
        Aim aim = seekLamps ? bestLamp(START_ANGLE, limit, dt) : bestPigeon(START_ANGLE, limit, dt);
        int turn = aim.found ? turnToward(aim.heading, START_ANGLE, dt) : 0;
        if (aim.found &&
            (seekLamps || lampClearance(true, START_ANGLE, turn, false, 0.0f, SWOOP_LOOK, dt) > SWOOP_SAFE)) {
            want[PILOT_SPACE] = true;
            steer(want, turn);
            return;
        }
    }

    // Height: flap when the fall would carry the owl below its cruising height within 0.2 s.
    float cruise = seekLamps ? SEEK_Y : CRUISE_Y;
    float ahead = owl.y + owl.fallSpeed * FALL_UNIT * 0.2f + 0.5f * GRAVITY * 0.04f;
    bool flap = ahead > cruise && owl.fallSpeed > -1.0f;
    if (!seekLamps) {
        float withFlap = lampClearance(false, 0.0f, 0, true, 0.0f, PATH_TIME, dt);
        float without = lampClearance(false, 0.0f, 0, false, 0.0f, PATH_TIME, dt);
        if (withFlap < LAMP_SAFE && without < LAMP_SAFE && canSwoop && swoopTimeLeft() > 0.3f) {
            int turn = safeTurn(START_ANGLE, -1, dt);
            if (lampClearance(true, START_ANGLE, turn, false, 0.0f, SWOOP_LOOK, dt) > fmaxf(withFlap, without)) {
                want[PILOT_SPACE] = true;
                steer(want, turn);
                return;
            }
        }
        if (flap && withFlap < LAMP_SAFE && without > withFlap)
            flap = false;
        else if (!flap && without < LAMP_SAFE && withFlap > without)
            flap = true;
    }
    // A flap is a tap: up pressed on one frame, released (the down-stroke) on the next.
    want[PILOT_UP] = flap && !held[PILOT_UP];

    // Sideways: a tap sets the drift, which then decays slowly on its own.
    if (owl.x < HOME_LEFT && owl.driftX < 1.0f)
        want[PILOT_RIGHT] = !held[PILOT_RIGHT];
    else if (owl.x > HOME_RIGHT && owl.driftX > -1.0f)
        want[PILOT_LEFT] = !held[PILOT_LEFT];
}

// Queues a press or a release for every key whose wanted state differs from the held one.
static void applyKeys(const bool want[PILOT_KEYS])
{
    for (int k = 0; k < PILOT_KEYS; k++) {
        if (want[k] != held[k]) {
            NUX_QueueKeyEvent(KEY_OF[k], want[k] ? 1 : 0);
            held[k] = want[k];
        }
    }
}

//---- Public

void autopilotStart(int lampsFromGame)
{
    enabled = true;
    lampsFrom = lampsFromGame;
    gamesSeen = 0;
    lastMode = -1;
    for (bool& key : held)
        key = false;
}

void autopilotFrame(float dt)
{
    if (!enabled || dt <= 0.0f)
        return;
    dt = fminf(dt, 0.2f);  // the game never advances a frame by more
    if (gameMode == MODE_GAME && lastMode != MODE_GAME)
        gamesSeen++;
    lastMode = gameMode;

    bool want[PILOT_KEYS] = {false, false, false, false};
    if (gameMode != MODE_GAME || owl.dying) {
        applyKeys(want);
        return;
    }
    if (getGamePaused())
        return;  // a paused game ignores the pilot; it waits with its keys as they are
    const bool seekLamps = lampsFrom > 0 && gamesSeen >= lampsFrom;
    if (owl.swoopActive)
        flySwoop(want, seekLamps, dt);
    else
        flyNormal(want, seekLamps, dt);
    applyKeys(want);
}
