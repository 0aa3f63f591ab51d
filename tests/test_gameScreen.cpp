// Tests of the game screen's frame: the 300-second end, the pause freezing time and music, the
// music-driven mist waves (and none without music), the last-life pulse, the scrolling pages,
// and the mist banks' own rules.

#include "gameLocal.h"
#include "main.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cmath>    // cos
#include <cstdlib>  // srand: the same draws for both games
#include <cstring>  // memcpy, memset: the records byte for byte
#include <string>   // a pool entry's name
#include <vector>   // the drawing order

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
    gameTimeElapsed = 299.5;
    runGame(0.5f);
    EXPECT_EQ(gameTimeElapsed, 300.0);
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

    double time = gameTimeElapsed, music = gameMusicElapsed, position = NUX_GetMusicPosition();
    float y = owl.y, level = gameScore.levelIncrement;
    comboImages[0]->sprite.alpha = 1;
    speakElapsed = 1;
    for (int i = 0; i < 60; i++)
        frame();
    EXPECT_EQ(gameTimeElapsed, time);
    EXPECT_EQ(gameMusicElapsed, music);
    EXPECT_EQ(NUX_GetMusicPosition(), position);
    EXPECT_EQ(owl.y, y);
    EXPECT_EQ(gameScore.levelIncrement, level);
    EXPECT_NEAR(comboImages[0]->sprite.alpha, 1 - 2.0f, 1e-3f) << "combo marks fade while paused";
    EXPECT_NEAR(speakElapsed, 0.0f, 1e-3f) << "the speech cool-down runs while paused";

    gamePause();
    EXPECT_EQ(getGamePaused(), 0);
    frame();
    EXPECT_GT(gameTimeElapsed, time);
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
    Flock flock;
    Street street;
    MistWaves mist;
    OwlGlow glow;
    double gameTime;
};

static GameRecords takeRecords()
{
    GameRecords r;
    memset(&r, 0, sizeof r);
    memcpy(&r.owl, &owl, sizeof owl);
    memcpy(&r.score, &gameScore, sizeof gameScore);
    memcpy(&r.flock, &flock, sizeof flock);
    memcpy(&r.street, &street, sizeof street);
    memcpy(&r.mist, &mistWaves, sizeof mistWaves);
    memcpy(&r.glow, &owlGlow, sizeof owlGlow);
    r.gameTime = gameTimeElapsed;
    return r;
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
    speakElapsed = 0;
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

    auto expectSame = [](const void* a, const void* b, size_t size, const char* record) {
        const unsigned char* x = (const unsigned char*)a;
        const unsigned char* y = (const unsigned char*)b;
        for (size_t i = 0; i < size; i++) {
            if (x[i] != y[i]) {
                ADD_FAILURE() << record << " differs from byte " << i << " of " << size;
                return;
            }
        }
    };
    expectSame(&first.owl, &second.owl, sizeof(Owl), "the owl");
    expectSame(&first.score, &second.score, sizeof(GameScore), "the score and levels");
    for (int i = 0; i < PIGEON_POOL; i++)
        expectSame(&first.flock.pigeons[i], &second.flock.pigeons[i], sizeof(Pigeon),
                   ("pigeon " + std::to_string(i)).c_str());
    EXPECT_EQ(first.flock.pigeonWaveOffset, second.flock.pigeonWaveOffset);
    for (int i = 0; i < CITIZEN_POOL; i++)
        expectSame(&first.street.citizens[i], &second.street.citizens[i], sizeof(Citizen),
                   ("citizen " + std::to_string(i)).c_str());
    for (int i = 0; i < LAMP_POOL; i++)
        expectSame(&first.street.lamps[i], &second.street.lamps[i], sizeof(Lamp),
                   ("lamp " + std::to_string(i)).c_str());
    expectSame(&first.mist, &second.mist, sizeof(MistWaves), "the mist");
    expectSame(&first.glow, &second.glow, sizeof(OwlGlow), "the glow");
    EXPECT_EQ(first.gameTime, second.gameTime);
}

//---- Drawing order

// The game screen draws its items in the order loadGame adds them: the sky and the city, the
// swoop bar, the trail, pigeons behind citizens behind lamps, the score, the owl, the halos over
// it, sparks and feathers, the mist over the play field, then the marks, the pause sign, each
// life's skull under its head, and the flashes on top.
TEST_F(GameScreen, ItemsAreDrawnInTheirListsOrder)
{
    std::vector<const Sprite*> order = {&sunrise->sprite,         &moon->sprite,        &treeScrollPage1->sprite,
                                        &treeScrollPage2->sprite, &scrollPage1->sprite, &scrollPage2->sprite,
                                        &swoopBar->sprite};
    std::vector<std::string> names = {"sunrise", "moon", "tree page", "tree page", "city page", "city page", "bar"};
    auto add = [&](const Sprite* s, const std::string& name) {
        order.push_back(s);
        names.push_back(name);
    };
    for (const Sprite* place : owlGlow.swoopGlow)
        add(place, "glow");
    for (const Pigeon& p : flock.pigeons) {
        add(&p.frame1->sprite, "pigeon");
        add(&p.frame2->sprite, "pigeon");
        add(&p.impact->sprite, "pigeon impact");
    }
    for (const Citizen& c : street.citizens)
        for (const Image* image : {c.walk, c.knocked, c.talk})
            add(&image->sprite, "citizen");
    for (const Lamp& l : street.lamps)
        add(&l.lampImage->sprite, "lamp");
    add(&scoreLabel->sprite, "score");
    for (const Sprite* s :
         {owl.testSprite, owl.wingsUpSprite, owl.wingsDownSprite, owl.eyesSprite, owl.swoopSprite, owl.zapSprite})
        add(s, "owl");
    for (const Lamp& l : street.lamps)
        add(&l.halo->sprite, "halo");
    add(&owl.sparks->sprite, "sparks");
    add(&feathers->sprite, "feathers");
    for (const Mist& m : mistWaves.mist)
        add(&m.sprite->sprite, "mist");
    for (const Image* combo : comboImages)
        add(&combo->sprite, "combo");
    add(&pausedImage->sprite, "paused");
    for (int i = 0; i < LIFE_ICONS; i++) {
        add(&skull[i]->sprite, "skull " + std::to_string(i));
        add(&life[i]->sprite, "head " + std::to_string(i));
    }
    add(&swoopLevelUp->sprite, "level up");
    for (const Sprite* s : {swoopBarEffect, lampHitEffect, dangerEffect, swoopEffect})
        add(s, "flash");

    std::vector<int> at;
    for (const Sprite* s : order) {
        int found = -1;
        for (int i = 0; i < gameScreen->items->count && found < 0; i++)
            if (gameScreen->items->items[i] == s)
                found = i;
        at.push_back(found);
    }
    for (size_t k = 0; k < order.size(); k++) {
        ASSERT_GE(at[k], 0) << names[k] << " is not on the game screen";
        if (k > 0) {
            ASSERT_GT(at[k], at[k - 1]) << names[k] << " is drawn before " << names[k - 1];
        }
    }
}
