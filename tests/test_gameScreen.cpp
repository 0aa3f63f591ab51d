// Tests of the game screen's frame: the 300-second end, the pause freezing time and music, the
// music-driven mist waves (and none without music), the last-life pulse, the scrolling pages,
// and the mist banks' own rules.

#include "gameLocal.h"
#include "main.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cmath>    // cos
#include <cstdlib>  // srand: the same draws for both games
#include <cstddef>  // offsetof: the records' fields by place
#include <cstring>  // memcpy, memset: the records byte for byte
#include <string>   // a pool entry's name
#include <vector>   // the records' fields

//---- Fixture

static const float DT = 1.0f / 60.0f;

class GameScreen : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        testStartHeadless(true);
    }
    void SetUp() override
    {
        switchGameMode(MODE_GAME);
    }

    // One frame as the main loop runs it, on the virtual clock and the deterministic music clock.
    // With music off, the track is stopped before each frame, as if it could not be played.
    static void frame(bool music = true)
    {
        if (!music)
            NUX_StopMusic();
        NUX_AdvanceVirtualClock();
        runGame(DT);
        NUX_UpdateSound();
    }

    static int activeBanks()
    {
        int n = 0;
        for (const Mist& bank : mistWaves.mist)
            n += bank.active;
        return n;
    }
};

//---- Music and bounds

TEST_F(GameScreen, AZeroLengthFirstFrameDoesNotStartTheMusic)
{
    runGame(0.0f);
    NUX_AdvanceVirtualClock();
    NUX_UpdateSound();
    EXPECT_EQ(NUX_GetMusicPosition(), 0.0);
    frame();
    frame();
    EXPECT_GT(NUX_GetMusicPosition(), 0.0);
}

// The counts grow by fractions; the lamp count can pass 18 by a hair after 160 steps, and the
// frame must still stay inside the pools.
TEST_F(GameScreen, CountsAtOrPastThePoolSizesStayInsideThePools)
{
    gameScore.numLamps = 18.05f;
    gameScore.numCitizens = 10.5f;
    gameScore.numPigeons = PIGEON_POOL;
    frame();
    EXPECT_EQ(getGameMode(), MODE_GAME);
}

//---- The end of a game

TEST_F(GameScreen, TheGameEndsInTheEndingOnTheFirstFrameThatPasses300Seconds)
{
    frame();
    gamePlay.gameTimeElapsed = 299.5;
    runGame(0.5f);
    EXPECT_EQ(gamePlay.gameTimeElapsed, 300.0);
    EXPECT_EQ(getGameMode(), MODE_GAME) << "exactly 300 s is not past the end";
    runGame(0.001f);
    EXPECT_EQ(getGameMode(), MODE_GAMEBEAT);
}

TEST_F(GameScreen, WithoutMusicThereIsNoMistAndNoSunriseButTheGameStillEndsAfter300Seconds)
{
    int frames = 0;
    while (getGameMode() == MODE_GAME && frames < 301 * 60) {
        frame(false);
        frames++;
        if (frames == 200 * 60) {
            EXPECT_EQ(activeBanks() + sunrise->sprite.alpha, 0.0f);
        }
    }
    EXPECT_EQ(getGameMode(), MODE_GAMEBEAT);
    EXPECT_NEAR(frames * DT, 300.0f, 2 * DT);
}

//---- Pause

TEST_F(GameScreen, PauseFreezesTheGameClockTheMusicAndTheOwlButNotTheComboMarks)
{
    for (int i = 0; i < 30; i++)
        frame();
    ASSERT_GT(NUX_GetMusicPosition(), 0.0);
    gamePause();
    EXPECT_EQ(pausedImage->sprite.alpha, 1.0f);

    double time = gamePlay.gameTimeElapsed, music = gameMusicElapsed, position = NUX_GetMusicPosition();
    float y = owl.y, level = gameScore.levelIncrement;
    comboImages[0]->sprite.alpha = 1;
    gamePlay.speakElapsed = 1;
    for (int i = 0; i < 60; i++)
        frame();
    EXPECT_EQ(gamePlay.gameTimeElapsed, time);
    EXPECT_EQ(gameMusicElapsed, music);
    EXPECT_EQ(NUX_GetMusicPosition(), position);
    EXPECT_EQ(owl.y, y);
    EXPECT_EQ(gameScore.levelIncrement, level);
    EXPECT_NEAR(comboImages[0]->sprite.alpha, 1 - 2.0f, 1e-3f) << "combo marks fade while paused";
    EXPECT_NEAR(gamePlay.speakElapsed, 0.0f, 1e-3f) << "the speech cool-down runs while paused";

    gamePause();
    EXPECT_EQ(getGamePaused(), 0);
    frame();
    EXPECT_GT(gamePlay.gameTimeElapsed, time);
    EXPECT_GT(NUX_GetMusicPosition(), position);
}

//---- Music-driven scenery

TEST_F(GameScreen, TheMistWavesTheMoonAndTheSunriseFollowTheTrack)
{
    auto playUntil = [](double music) {
        while (gameMusicElapsed <= music && getGameMode() == MODE_GAME)
            frame();
    };
    playUntil(42.99);
    EXPECT_EQ(activeBanks(), 0);
    playUntil(43.0);
    EXPECT_EQ(activeBanks(), MIST_BANKS);
    playUntil(80.0);
    EXPECT_EQ(activeBanks(), 0);
    playUntil(175.0);
    EXPECT_EQ(activeBanks(), MIST_BANKS);
    EXPECT_GT(moon->sprite.y, 60.0f) << "the moon sets after 152 s";
    playUntil(220.0);
    EXPECT_EQ(activeBanks(), 0);
    EXPECT_EQ(sunrise->sprite.alpha, 0.0f);
    playUntil(237.0);
    EXPECT_NEAR(sunrise->sprite.alpha, 0.07f * 14, 0.01f);
    EXPECT_NEAR(moon->sprite.alpha, 1 - 0.05f * 14, 0.01f);
    EXPECT_NEAR(treeScrollPage1->sprite.blue, 0.07f * 9, 0.01f);
    EXPECT_NEAR(scrollPage1->sprite.red, 0.6f + 0.04f * 12, 0.01f);
    playUntil(256.0);
    EXPECT_EQ(activeBanks(), MIST_BANKS);
    playUntil(290.0);
    EXPECT_EQ(activeBanks(), 0);
    EXPECT_EQ(getGameMode(), MODE_GAME);
}

TEST_F(GameScreen, TheLastLifePulsesWithTheMusicAndALifeWonBackFadesIt)
{
    owl.lives = 1;
    for (int i = 0; i < 120; i++) {
        frame();
        if (getGameMode() != MODE_GAME)
            break;
        double m = gameMusicElapsed;
        float expected = cos(2 * (m * 0.5 * 2.333333333) * 3.14159265) * 0.12 + 0.12;
        ASSERT_FLOAT_EQ(dangerEffect->alpha, expected) << "frame " << i;
    }

    owl.lives = 2;
    dangerEffect->alpha = 0.2f;
    frame();
    EXPECT_NEAR(dangerEffect->alpha, 0.2f - DT, 1e-6f) << "a life won back fades the pulse out";
}

TEST_F(GameScreen, TheCityPagesStayOnePageApartAndCoverTheScreen)
{
    for (int i = 0; i < 30 * 60; i++) {
        frame();
        if (getGameMode() != MODE_GAME)
            break;
    }
    EXPECT_NEAR(scrollPage2->sprite.x - scrollPage1->sprite.x, 1024.0f, 0.01f);
    EXPECT_LE(scrollPage1->sprite.x, 0.0f);
    // The tree pages are kept across games, so their rounding adds up.
    EXPECT_NEAR(treeScrollPage2->sprite.x - treeScrollPage1->sprite.x, 1024.0f, 0.1f);
}

//---- Mist banks

TEST_F(GameScreen, AnEndedWaveFinishesItsCrossingThenParksAndANewWaveTakesFinishingBanks)
{
    startMist();
    EXPECT_EQ(activeBanks(), MIST_BANKS);
    Mist& bank = mistWaves.mist[0];
    Sprite* s = &bank.sprite->sprite;
    bank.x = 100;
    endMist();
    EXPECT_EQ(activeBanks(), 0);
    float vx = bank.vx;
    updateMist(DT);
    EXPECT_NEAR(bank.x, 100 + vx * DT, 1e-3f) << "an ended wave keeps drifting";

    bank.x = -(s->width * s->scaleX) + 0.001f;
    updateMist(DT);
    EXPECT_EQ(bank.vx, 0.0f);
    EXPECT_EQ(s->alpha, 0.0f);
    EXPECT_GT(bank.x, 1100.0f) << "parked beyond the right edge";
    float parked = bank.x;
    updateMist(DT);
    EXPECT_EQ(bank.x, parked);

    // A bank still finishing is no longer active: the next wave sends it back to the right.
    mistWaves.mist[1].x = 300;
    startMist();
    EXPECT_GT(mistWaves.mist[1].x, 1100.0f);
    EXPECT_LT(bank.vx, 0.0f);
    initMist();
    EXPECT_EQ(activeBanks(), 0);
}

//---- A new game

// Every record a game owns, byte for byte.
struct GameRecords {
    Owl owl;
    GameScore score;
    GamePlay play;
    Flock flock;
    Street street;
    MistWaves mist;
    OwlGlow glow;
};

static GameRecords takeRecords()
{
    GameRecords r;
    memset(&r, 0, sizeof r);
    memcpy(&r.owl, &owl, sizeof owl);
    memcpy(&r.score, &gameScore, sizeof gameScore);
    memcpy(&r.play, &gamePlay, sizeof gamePlay);
    memcpy(&r.flock, &flock, sizeof flock);
    memcpy(&r.street, &street, sizeof street);
    memcpy(&r.mist, &mistWaves, sizeof mistWaves);
    memcpy(&r.glow, &owlGlow, sizeof owlGlow);
    return r;
}

// The fields of a record by where they start, to name the first one that differs.
struct FieldAt {
    size_t offset;
    const char* name;
};
#define FIELD(T, f)                                                                                                    \
    FieldAt                                                                                                            \
    {                                                                                                                  \
        offsetof(T, f), #f                                                                                             \
    }

static const std::vector<FieldAt> OWL_FIELDS = {
    FIELD(Owl, x),          FIELD(Owl, y),           FIELD(Owl, angle),      FIELD(Owl, wingsUp),
    FIELD(Owl, driftX),     FIELD(Owl, fallSpeed),   FIELD(Owl, sinceHit),   FIELD(Owl, comboTimer),
    FIELD(Owl, comboCount), FIELD(Owl, swoopActive), FIELD(Owl, swoopSpeed), FIELD(Owl, swoopEnergy),
    FIELD(Owl, deathDrift), FIELD(Owl, dying),       FIELD(Owl, deathTime),  FIELD(Owl, sparks),
    FIELD(Owl, lives),      FIELD(Owl, score)};
static const std::vector<FieldAt> SCORE_FIELDS = {
    FIELD(GameScore, hitPigeons),      FIELD(GameScore, humansHit),      FIELD(GameScore, numSwoops),
    FIELD(GameScore, swoopTime),       FIELD(GameScore, longestSwoop),   FIELD(GameScore, swoopLevel),
    FIELD(GameScore, swoopMultiplier), FIELD(GameScore, maxMultiplier),  FIELD(GameScore, lastSwoopPoint),
    FIELD(GameScore, LEVEL_SPEED),     FIELD(GameScore, levelIncrement), FIELD(GameScore, numPigeons),
    FIELD(GameScore, numCitizens),     FIELD(GameScore, numLamps)};
static const std::vector<FieldAt> PLAY_FIELDS = {
    FIELD(GamePlay, gameTimeElapsed), FIELD(GamePlay, speakElapsed),  FIELD(GamePlay, gameMusicPlaying),
    FIELD(GamePlay, gamePaused),      FIELD(GamePlay, pausedElapsed), FIELD(GamePlay, sunriseInitialized)};
static const std::vector<FieldAt> MIST_FIELDS = {FIELD(MistWaves, mist),
                                                 FIELD(MistWaves, firstMistWaveStarted),
                                                 FIELD(MistWaves, firstMistWaveEnded),
                                                 FIELD(MistWaves, secondMistWaveStarted),
                                                 FIELD(MistWaves, secondMistWaveEnded),
                                                 FIELD(MistWaves, thirdMistWaveStarted),
                                                 FIELD(MistWaves, thirdMistWaveEnded)};
static const std::vector<FieldAt> GLOW_FIELDS = {FIELD(OwlGlow, swoopGlow), FIELD(OwlGlow, flameOnPlayed),
                                                 FIELD(OwlGlow, swoopEffectGlow)};

// Names the first byte that differs between two copies of a record: its field, where known.
static std::string firstDifference(const void* a, const void* b, size_t size, const std::vector<FieldAt>& fields)
{
    const unsigned char* x = (const unsigned char*)a;
    const unsigned char* y = (const unsigned char*)b;
    for (size_t i = 0; i < size; i++) {
        if (x[i] == y[i])
            continue;
        std::string name = "byte " + std::to_string(i);
        for (const FieldAt& field : fields)
            if (field.offset <= i)
                name = field.name;
        return name;
    }
    return "";
}

// What a game hands the next one by design: the owl's drift, fall speed, combo chain and the speed
// of the lamp that last killed it, its last position (the first pigeons flee from it), the speech
// cool-down, the mist banks parked where they stood, and the music position the first pigeons'
// heights are drawn from. Set the same before each start, with the same seed.
static void sameCarryOver()
{
    owl.driftX = owl.fallSpeed = owl.comboTimer = owl.deathDrift = 0;
    for (Mist& bank : mistWaves.mist)
        bank.x = bank.y = 0;
    owl.comboCount = 0;
    owl.x = 250;
    owl.y = 150;
    gamePlay.speakElapsed = 0;
    gameMusicElapsed = 5.0;
    srand(11);
}

TEST_F(GameScreen, ASecondGameStartsFromTheSameStateAsTheFirstInEveryRecord)
{
    switchGameMode(MODE_TITLE);
    sameCarryOver();
    switchGameMode(MODE_GAME);
    const GameRecords first = takeRecords();

    // A busy game: swoops with strikes, knocked-down citizens, a death, level steps and a mist wave.
    for (int i = 0; i < 50 * 60; i++) {
        if (i % 120 == 0)
            owlSwoop();
        else if (i % 120 == 90)
            owlSwoopStop();
        for (int k = 0; k < gameScore.numPigeons && owl.swoopActive && !owl.dying; k++) {
            Pigeon& p = flock.pigeons[k];
            if (!p.struck) {
                p.x = owl.x - 16;
                p.y = p.baseY = owl.y - 16;
                break;
            }
        }
        if (i == 1500) {
            Citizen& c = street.citizens[0];
            Pigeon& p = flock.pigeons[1];
            p.struck = 1;
            p.x = c.x;
            p.y = c.y + 20;
            updateCitizen(&c, 0);
        }
        if (i == 2000) {
            owl.x = street.lamps[0].x + 26;
            owl.y = street.lamps[0].y + 36;
            owlDie();
        }
        frame();
    }
    ASSERT_EQ(getGameMode(), MODE_GAME);
    ASSERT_GT(gameScore.hitPigeons, 2);
    ASSERT_GT(gameScore.humansHit, 0);
    ASSERT_GT(gameScore.swoopLevel, 0);
    ASSERT_GT(mistWaves.firstMistWaveStarted, 0);

    switchGameMode(MODE_TITLE);
    sameCarryOver();
    switchGameMode(MODE_GAME);
    const GameRecords second = takeRecords();

    EXPECT_EQ(firstDifference(&first.owl, &second.owl, sizeof(Owl), OWL_FIELDS), "") << "the owl";
    EXPECT_EQ(firstDifference(&first.score, &second.score, sizeof(GameScore), SCORE_FIELDS), "") << "the score";
    EXPECT_EQ(firstDifference(&first.play, &second.play, sizeof(GamePlay), PLAY_FIELDS), "") << "the game screen";
    EXPECT_EQ(first.flock.pigeonWaveOffset, second.flock.pigeonWaveOffset);
    for (int i = 0; i < PIGEON_POOL; i++)
        EXPECT_EQ(firstDifference(&first.flock.pigeons[i], &second.flock.pigeons[i], sizeof(Pigeon), {}), "")
            << "pigeon " << i;
    for (int i = 0; i < CITIZEN_POOL; i++)
        EXPECT_EQ(firstDifference(&first.street.citizens[i], &second.street.citizens[i], sizeof(Citizen), {}), "")
            << "citizen " << i;
    for (int i = 0; i < LAMP_POOL; i++)
        EXPECT_EQ(firstDifference(&first.street.lamps[i], &second.street.lamps[i], sizeof(Lamp), {}), "")
            << "lamp " << i;
    EXPECT_EQ(firstDifference(&first.mist, &second.mist, sizeof(MistWaves), MIST_FIELDS), "") << "the mist";
    EXPECT_EQ(firstDifference(&first.glow, &second.glow, sizeof(OwlGlow), GLOW_FIELDS), "") << "the glow";
}
//---- Drawing order

// The game screen draws its items in the order loadGame adds them: the sky and the city, the
// swoop bar, the trail, pigeons behind citizens behind lamps, the score, the owl, the halos over
// it, sparks and feathers, the mist over the play field, then the marks, the pause sign, each
// life's skull under its head, and the flashes on top.
TEST_F(GameScreen, ItemsAreDrawnInTheirListsOrder)
{
    std::vector<DrawnItem> order = {{&sunrise->sprite, "sunrise"},
                                    {&moon->sprite, "moon"},
                                    {&treeScrollPage1->sprite, "tree page 1"},
                                    {&treeScrollPage2->sprite, "tree page 2"},
                                    {&scrollPage1->sprite, "city page 1"},
                                    {&scrollPage2->sprite, "city page 2"},
                                    {&swoopBar->sprite, "swoop bar"}};
    auto add = [&order](const Sprite* s, const std::string& name) { order.push_back({s, name}); };
    for (int i = 0; i < GLOW_TRAIL; i++)
        add(owlGlow.swoopGlow[i], "glow " + std::to_string(i));
    for (int i = 0; i < PIGEON_POOL; i++) {
        const Pigeon& p = flock.pigeons[i];
        add(&p.frame1->sprite, "pigeon " + std::to_string(i));
        add(&p.frame2->sprite, "pigeon " + std::to_string(i) + " frame 2");
        add(&p.impact->sprite, "pigeon " + std::to_string(i) + " impact");
    }
    for (int i = 0; i < CITIZEN_POOL; i++) {
        const Citizen& c = street.citizens[i];
        add(&c.walk->sprite, "citizen " + std::to_string(i));
        add(&c.knocked->sprite, "citizen " + std::to_string(i) + " knocked");
        add(&c.talk->sprite, "citizen " + std::to_string(i) + " talking");
    }
    for (int i = 0; i < LAMP_POOL; i++)
        add(&street.lamps[i].lampImage->sprite, "lamp " + std::to_string(i));
    add(&scoreLabel->sprite, "score");
    add(owl.testSprite, "owl test");
    add(owl.wingsUpSprite, "owl wings up");
    add(owl.wingsDownSprite, "owl wings down");
    add(owl.eyesSprite, "owl eyes");
    add(owl.swoopSprite, "owl swoop");
    add(owl.zapSprite, "owl zap");
    for (int i = 0; i < LAMP_POOL; i++)
        add(&street.lamps[i].halo->sprite, "halo " + std::to_string(i));
    add(&owl.sparks->sprite, "sparks");
    add(&feathers->sprite, "feathers");
    for (int i = 0; i < MIST_BANKS; i++)
        add(&mistWaves.mist[i].sprite->sprite, "mist " + std::to_string(i));
    for (int i = 0; i < COMBO_MARKS; i++)
        add(&comboImages[i]->sprite, "combo x" + std::to_string(i + 2));
    add(&pausedImage->sprite, "pause sign");
    for (int i = 0; i < LIFE_ICONS; i++) {
        add(&skull[i]->sprite, "skull " + std::to_string(i));
        add(&life[i]->sprite, "head " + std::to_string(i));
    }
    add(&swoopLevelUp->sprite, "level-up mark");
    add(swoopBarEffect, "swoop bar flash");
    add(lampHitEffect, "lamp flash");
    add(dangerEffect, "danger pulse");
    add(swoopEffect, "swoop tint");
    EXPECT_EQ(testDrawOrder(gameScreen, order), "");
}
