// gameLocal: the records the game's own units keep, one per unit (the screen, the owl, the score,
// the glow, the pigeons, the street and the mist), and the screen's items and sounds they share;
// the harness and the tests read them too.
#pragma once

#include "game.h"  // Pigeon, gameMusicElapsed, distance, resetPigeon, the controls

//---- Pool sizes

constexpr int PIGEON_POOL = 600;  // pigeons of the game screen
constexpr int CITIZEN_POOL = 10;  // citizens walking the street
constexpr int LAMP_POOL = 18;     // street lamps
constexpr int MIST_BANKS = 10;    // mist sprites of a wave
constexpr int GLOW_TRAIL = 75;    // sprites of the owl's glow trail
constexpr int LIFE_ICONS = 5;     // heads and skulls of the lives display
constexpr int COMBO_MARKS = 3;    // x2, x3, x4

//---- The owl (defined in gameOwl.cpp)

// The player's owl. The six sprites are images on the game screen, all drawn centred.
struct Owl {
    Sprite* testSprite;       // "data/owntest.png", kept hidden throughout play
    Sprite* wingsUpSprite;    // wings-up pose (gliding)
    Sprite* wingsDownSprite;  // wings-down pose
    Sprite* eyesSprite;       // eyes over the wing poses, always drawn
    Sprite* swoopSprite;      // swooping pose, also shown while dying
    Sprite* zapSprite;        // electrocution flicker while dying
    float x, y;               // centre, pixels
    float angle;              // swoop heading in degrees, positive nose down; 0 in normal flight
    int wingsUp;              // 1 while the wings are held up
    float driftX;             // pixels added to x once per frame
    float fallSpeed;          // vertical speed in units of 120 px/s, positive downward
    float sinceHit;           // seconds since the last respawn or strike (kept, not read)
    float comboTimer;         // seconds since the last strike: the combo window
    int comboCount;           // strikes in the current combo chain
    int swoopActive;          // 1 while swooping
    float swoopSpeed;         // px/s along angle while swooping; 900, 0 while dying
    float swoopEnergy;        // 0..1, the swoop bar's width
    float deathDrift;         // px/s leftward while dying, the killing lamp's speed
    int dying;                // 1 from the fatal lamp contact until respawn
    float deathTime;          // seconds since the death began
    ParticleSource* sparks;   // sparks that follow the owl; streaming only while dying
    int lives;                // 5 at the start, never more than 5
    int score;                // the player's points
};

extern Owl owl;      // the one owl
extern float yGrav;  // gravity in fallSpeed units per second (9.0)

// Moves the owl along its heading at swoopSpeed for dt seconds; called by updateOwl while swooping.
void MoveOwl(float dt);
// Called by runGame every unpaused frame: energy, steering, drift, gravity, bounds, or the death drift.
void updateOwl(float dt);
// Called by the lamp rule on contact: starts a death and takes a life; the last one ends the game.
// Ignored while the owl is already dying.
void owlDie();
// Back to flight at (0, 0) (the next update's bounds put it at 40, 80); resetOwl places it itself.
void respawnOwl();
// Called by resetGame: a new game's owl at (250, 150) with five lives and no points, its sprites
// centred and its sparks set up. The drift, the fall speed and the combo chain carry over from the
// last game, as a death leaves them.
void resetOwl();

//---- Score, swoop levels and the level step (defined in gameScore.cpp)

// The counters of one game and the street's level. resetGameScore puts every field back to the
// value a game starts with; after a game they keep its values for the scenes to read.
struct GameScore {
    int hitPigeons;        // pigeons struck this game
    int humansHit;         // citizens knocked down this game
    float numSwoops;       // swoops started this game, counted up by 1.0
    float swoopTime;       // seconds of the current swoop, 0 when not swooping
    float longestSwoop;    // seconds of the longest swoop this game
    int swoopLevel;        // raised by strikes, never lowered during a game
    int swoopMultiplier;   // pigeons struck in the current swoop
    int maxMultiplier;     // most pigeons struck in one swoop this game
    float lastSwoopPoint;  // game time of the last long-swoop bonus payment
    int LEVEL_SPEED;       // px/s: the city, the street and everything on it
    float levelIncrement;  // level-step accumulator, 20 per second
    int numPigeons;        // pigeons in play, from index 0, at most 600
    float numCitizens;     // citizens in play: those whose index is below it
    float numLamps;        // lamps in play: those whose index is below it
};

extern GameScore gameScore;
extern const int swoopLevels[10];  // pigeons struck needed for levels 1 to 9 (entry 0 unused)

// Every reason the game pays points. What each pays is in scoreRules, in gameScore.cpp.
enum ScoreReason {
    SCORE_STRIKE,         // a pigeon struck in a swoop
    SCORE_FIRST_SWOOP,    // the game's first pigeon, struck in its first swoop: on top of the strike
    SCORE_COMBO,          // per earlier strike of a chain less than a second apart
    SCORE_MULTIPLIER,     // per swoop level, per pigeon already struck in this swoop
    SCORE_CITIZEN,        // a struck pigeon fells a citizen while every life is left
    SCORE_FLY_BY,         // the owl passes close by a citizen who does not speak
    SCORE_LONG_SWOOP,     // a swoop past 5 s, every 0.1 s
    SCORE_LONGER_SWOOP,   // a swoop past 10 s, every 0.06 s
    SCORE_LONGEST_SWOOP,  // a swoop past 30 s, every 0.035 s
    SCORE_NEW_GAME,       // nothing: a new game's label reads "0 POINTS", dimmed like an award
    SCORE_REASONS
};

// What one reason pays: points for each unit counted and whether the award dims the label; for
// the long swoop's tiers, the swoop's length past which it pays and the game time between payments.
struct ScoreRule {
    int points;
    int flash;
    float after;      // seconds of swoop; 0 for the other reasons
    double interval;  // seconds of game time; 0 for the other reasons
};

extern const ScoreRule scoreRules[SCORE_REASONS];

// Called by resetGame before the pools: the counters to 0 and the street back to its first level.
void resetGameScore();
// Pays a reason's points times units (a chain's earlier strikes, level times pigeons): one award.
void scoreFor(ScoreReason reason, int units);
// Adds points, re-renders the score label, and dims it when flash is 1. The game's awards come
// through scoreFor, by reason.
void addScore(int points, int flash);
// Called by the strike right after hitPigeons is counted: raises the swoop level by at most one
// (levels 1 to 9 at the swoopLevels thresholds, then every 16th pigeon), with its sound, the
// level-up mark at the owl and the swoop bar flash.
void updateSwoopLevel();
// Called by runGame every unpaused frame: one head per remaining life over the skulls.
void updateLives();
// Called by runGame every unpaused frame: every 8.9 s of play the street speeds up and fills up.
void updateLevelStep(float dt);

//---- Glow trail and long swoops (defined in gameGlow.cpp)

// The owl's glow trail and what the long swoop remembers between frames.
struct OwlGlow {
    Sprite* swoopGlow[GLOW_TRAIL];  // the glow trail, entry 0 at the owl; created by loadGame
    int flameOnPlayed;              // 1 once the flame sound has played in this long swoop
    float swoopEffectGlow;          // strength of the long-swoop tier; recorded, nothing reads it
};

extern OwlGlow owlGlow;

// Called by resetGame: the trail hidden and centred, the flame forgotten.
void resetOwlGlow();

// Called by runGame last: the owl's sprites, sparks and glow trail follow the owl.
void updateOwlSprites(float dt);
// Called by updateOwlSprites: the 75-sprite trail and the flame of a long swoop.
void updateOwlGlow(float dt);
// Called by runGame before the pigeons: the stream of points of a swoop longer than 5 s.
void updateSpecialSwoop(float dt);

//---- The game screen (defined in game.cpp)

// The game screen's own state. resetGame sets every field but the speech cool-down, which a new
// game takes over from the last one.
struct GamePlay {
    double gameTimeElapsed;  // seconds of unpaused play; the game ends past 300
    float speakElapsed;      // seconds until any citizen may speak again; counted down by runGame
    int gameMusicPlaying;    // 1 once this game's music has been started
    int gamePaused;          // 1 while paused
    float pausedElapsed;     // seconds spent paused: the pulse of the pause sign
    int sunriseInitialized;  // set by no rule: the sunrise tint stays forced to white
};

extern GamePlay gamePlay;

// Items of the game screen, created once by loadGame.
extern Label* scoreLabel;                         // "%d POINTS" at (420, 10)
extern Image* life[LIFE_ICONS];                   // heads, one per remaining life
extern Image* skull[LIFE_ICONS];                  // skulls under the heads
extern Image* comboImages[COMBO_MARKS];           // x2, x3, x4 marks shown at the owl
extern Image* swoopLevelUp;                       // level-up mark shown at the owl
extern Sprite* swoopBarEffect;                    // flash over the swoop bar on a level rise
extern Sprite* lampHitEffect;                     // full-screen flash on a death
extern Sprite* swoopEffect;                       // full-screen long-swoop tint, kept at alpha 0
extern ParticleSource* feathers;                  // 200 feathers, burst at the owl on each strike
extern Image* sunrise;                            // sunrise sky, faded in at the end
extern Image* moon;                               // drifts left, sets after 152 s of music
extern Image *scrollPage1, *scrollPage2;          // city skyline pages; page 2 is the right-hand one
extern Image *treeScrollPage1, *treeScrollPage2;  // tree line pages, at half the city's speed
extern Image* swoopBar;                           // swoop energy bar, reddening with the swoop level
extern Image* pausedImage;                        // pause sign at the centre
extern Sprite* dangerEffect;                      // full-screen red pulse on the last life

// Sounds of play, loaded once by loadGame; a null handle plays nothing.
extern NUX_Sound* sfxOwlDie;           // last life lost
extern NUX_Sound* sfxPause;            // pausing
extern NUX_Sound* sfxUnPause;          // resuming
extern NUX_Sound* sfxFlameOn;          // a long swoop catches fire
extern NUX_Sound* sfxFlap[4];          // down-strokes
extern NUX_Sound* sfxSwoopBonus[7];    // swoop level rise
extern NUX_Sound* sfxFirstSwoop;       // first pigeon in the first swoop
extern NUX_Sound* sfxConstantSwoop;    // swoop level 10 reached
extern NUX_Sound* sfxHumanHit[4];      // loaded, never played
extern NUX_Sound* sfxGentlemenHit[7];  // a citizen knocked down
extern NUX_Sound* sfxDive;             // a swoop starts
extern NUX_Sound* sfxPigeonHit[3];     // a pigeon struck
extern NUX_Sound* sfxGenleman[14];     // a citizen speaks as the owl passes
extern NUX_Sound* sfxHitLamp;          // a death with lives left

//---- Mist (defined in gameMist.cpp)

// One bank of mist, drawn centred; parked (inactive, still, hidden) between waves.
struct Mist {
    Image* sprite;  // "data/mist.png"
    float x, y;     // centre
    float vx;       // px/s, negative while crossing, 0 while parked
    int active;     // 1 while the bank belongs to a running wave
};

// The banks and the timeline's one-shot flags.
struct MistWaves {
    Mist mist[MIST_BANKS];
    int firstMistWaveStarted, firstMistWaveEnded;
    int secondMistWaveStarted, secondMistWaveEnded;
    int thirdMistWaveStarted, thirdMistWaveEnded;
};

// One step of the mist timeline: past music time `at`, a wave starts (start 1) or ends (0), once a
// game; `done` names the step's flag in MistWaves.
struct MistStep {
    double at;
    int start;
    int MistWaves::*done;
};

extern MistWaves mistWaves;
extern const MistStep mistTimeline[6];  // the three waves, in music time

// Called by resetGame: every bank parked and hidden where it stands, every step of the timeline
// still to come.
void resetMistWaves();
// Called by the scenery every unpaused frame with the music position: the steps of the timeline
// now due, then the banks moved.
void updateMistWaves(double music, float dt);
// Every bank parked and hidden where it stands.
void initMist();
// Starts a wave: every parked or finishing bank begins a new crossing.
void startMist();
// Ends the wave: banks finish their crossing and then park.
void endMist();
// Called by updateMistWaves every unpaused frame: moves the banks and recycles those past the left edge.
void updateMist(float dt);
// A new crossing for one bank: translucency, size, height, start beyond the right edge, speed.
void resetIndividualMist(Mist* bank);

//---- Pigeons, citizens and lamps

// A citizen walking the street; knocked down by falling pigeons, talks when the owl passes.
struct Citizen {
    Image* walk;      // "data/citizen1.png"
    Image* knocked;   // "data/citizen2.png"
    Image* talk;      // "data/citizen4.png"
    float talkTimer;  // seconds the talking image still shows; gates the fly-by points
    int hit;          // 1 once knocked down, until respawned
    int flyByPaid;    // 1 once the owl's fly-by has paid since the knock-down
    float speed;      // leftward px/s, fixed at respawn
    float x, y;       // position of the three sprites
};

// A street lamp; its head electrocutes the owl.
struct Lamp {
    Image* lampImage;  // "data/lamp1.png"
    Image* halo;       // "data/halo.png", added by loadGame after the owl so it draws over it
    float x, y;        // position of the lamp image
    float speed;       // leftward px/s, recomputed every frame
};

// The game screen's flock (gamePigeons.cpp).
struct Flock {
    Pigeon pigeons[PIGEON_POOL];
    int pigeonWaveOffset;  // phase of the music-keyed spawn wave: 0, 3, 6 or 9
};

// The street below (gameStreet.cpp).
struct Street {
    Citizen citizens[CITIZEN_POOL];
    Lamp lamps[LAMP_POOL];
};

extern Flock flock;
extern Street street;

// Called once by loadGame: every pigeon, citizen and lamp image on the game screen, in that order.
void loadPigeonsAndCitizens();
// Called by resetGame after the score: the spawn wave's phase drawn, every pigeon respawned and placed.
void resetFlock();
// Called by resetGame after the flock: every citizen and lamp respawned and placed.
void resetStreet();
// Called by runGame for pigeons 0 .. numPigeons - 1: flight, flee, fall and the strike.
void updatePigeon(Pigeon* pigeon, float dt);
// Called by runGame for citizens below numCitizens: walk, knock-downs, speech and fly-by points.
void updateCitizen(Citizen* citizen, float dt);
// Called by runGame for lamps below numLamps: drift, halo flicker and electrocution.
void updateLamp(Lamp* lamp, float dt);
// A fresh citizen beyond the right edge at the street's current speed.
void resetCitizen(Citizen* citizen);
// A fresh lamp beyond the right edge at a random height.
void resetLamp(Lamp* lamp);
