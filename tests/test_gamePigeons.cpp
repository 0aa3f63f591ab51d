// Tests of the pigeons: the music-keyed spawn schedule and its draws, flight, flight from the
// owl, the fall and the landing, the strike with its points, levels and combos, and the pool's
// load and start of game.

#include "gameLocal.h"
#include "main.h"
#include "testutil.h"

#include <gtest/gtest.h>
#include <cmath>    // sin
#include <cstdlib>  // srand, rand

//---- Fixture

class Pigeons : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        testStartHeadless(true);
    }

    void SetUp() override
    {
        // The owl far from everything, flying, and a fresh game's counters.
        owl.x = owl.y = 100;
        owl.swoopActive = owl.dying = 0;
        owl.score = 0;
        owl.comboCount = 0;
        owl.comboTimer = 5;
        gameScore.hitPigeons = gameScore.swoopLevel = gameScore.swoopMultiplier = gameScore.maxMultiplier = 0;
        gameScore.numSwoops = 0;
        gameScore.LEVEL_SPEED = 82;
        flock.pigeonWaveOffset = 0;
        gameMusicElapsed = 100.0;
        for (Image* mark : comboImages)
            mark->sprite.alpha = 0;
        swoopLevelUp->sprite.alpha = 0;
        // A feather source with no particles: a burst then draws nothing from rand(), so the
        // strike's own draws can be replayed.
        if (feathers != noFeathers())
            realFeathers = feathers;
        feathers = noFeathers();
    }

    void TearDown() override
    {
        feathers = realFeathers;
    }

    static ParticleSource* noFeathers()
    {
        static ParticleSource* source = testKeep(NUX_CreateParticleSource(0));
        return source;
    }

    // Pigeon 0 of the pool, flying level at (x, baseY) with a long wave and no flap due.
    static Pigeon* flyingPigeon(float x, float baseY, float speed = 400)
    {
        Pigeon* p = &flock.pigeons[0];
        p->struck = 0;
        p->fleeMode = 2;
        p->fleeSpeed = 300;
        p->speed = speed;
        p->x = x;
        p->baseY = p->y = baseY;
        p->rotation = 0;
        p->wavePeriod = 100;
        p->flapInterval = 0.08f;
        p->flapTimer = 0;
        p->frame1->sprite.alpha = 100;
        p->frame2->sprite.alpha = 0;
        p->frame1->sprite.scaleX = p->frame1->sprite.scaleY = 1;
        p->impact->sprite.alpha = 0;
        return p;
    }

    // Places the swooping owl on the pigeon's strike point, then strikes it with a frame of no time.
    static void strike(Pigeon* p)
    {
        owl.swoopActive = 1;
        owl.x = p->x + 16;
        owl.y = p->baseY + 30 * (float)sin((double)(p->x / p->wavePeriod)) + 16;
        updatePigeon(p, 0);
    }

    static inline ParticleSource* realFeathers = nullptr;
};

//---- Spawn

// The draws resetPigeon makes before the height, replayed: the flap phase, the flee speed and the
// flying speed.
struct LeadDraws {
    int flap, flee, speed;
};
static LeadDraws replayLead()
{
    LeadDraws d;
    d.flap = rand() % 800;
    d.flee = rand() % 400;
    d.speed = rand() % 400;
    return d;
}

TEST_F(Pigeons, ASpawnDrawsInItsOrderAndEntersBeyondTheRightEdge)
{
    Pigeon* p = flyingPigeon(300, 300);
    p->struck = 1;
    p->rotation = 90;
    p->fleeMode = 0;
    srand(42);
    resetPigeon(p);
    srand(42);
    LeadDraws d = replayLead();
    int height = rand() % 300;
    int wave = rand() % 100;

    EXPECT_EQ(p->struck, 0);
    EXPECT_FLOAT_EQ(p->flapTimer, d.flap / 10000.0f);
    EXPECT_EQ(p->fleeMode, 2);
    EXPECT_EQ(p->fleeSpeed, 200.0f + d.flee);
    EXPECT_EQ(p->rotation, 0.0f);
    EXPECT_EQ(p->speed, 300.0f + d.speed);
    EXPECT_EQ(p->x, 1124.0f);
    EXPECT_EQ(p->y, 200.0f + height);
    EXPECT_EQ(p->wavePeriod, 80.0f + wave);
}

// Which row of the wave schedule a music position falls in.
enum Row { LOW_OR_HIGH, SCATTER, SINE, WIDE, GENERAL, HIGH_AND_LOW, GONE };

TEST_F(Pigeons, TheWaveScheduleKeepsItsExactBounds)
{
    struct Case {
        double t;
        Row row;
    };
    const Case cases[] = {
        {5.0, GENERAL},    {85.8, GENERAL},       {85.81, LOW_OR_HIGH},   {89.29, LOW_OR_HIGH}, {89.3, GENERAL},
        {91.9, GENERAL},   {92.0, LOW_OR_HIGH},   {95.9, GENERAL},        {125.5, GENERAL},     {125.51, SCATTER},
        {126.49, SCATTER}, {126.5, GENERAL},      {127.49, GENERAL},      {127.5, SINE},        {154.24, SINE},
        {154.25, GENERAL}, {236.5, GENERAL},      {236.51, WIDE},         {243.19, WIDE},       {243.2, GENERAL},
        {283.99, GENERAL}, {284.0, HIGH_AND_LOW}, {292.99, HIGH_AND_LOW}, {293.0, GONE},        {400.0, GONE},
    };
    for (const Case& c : cases) {
        for (int seed = 1; seed <= 40; seed++) {
            gameMusicElapsed = c.t;
            Pigeon* p = flyingPigeon(0, 0);
            srand(seed);
            resetPigeon(p);
            int afterReset = rand();

            srand(seed);
            replayLead();
            double expected = 0;
            switch (c.row) {
            case LOW_OR_HIGH: expected = rand() % 5 == 1 ? 50 + rand() % 150 : 500 + rand() % 200; break;
            case SCATTER: expected = 20 + rand() % 450; break;
            case SINE: expected = 340 + rand() % 35 + 176 * sin(c.t * 0.25 * 2.333333333 * 3.14159265); break;
            case WIDE: expected = 200 + rand() % 585; break;
            case GENERAL: expected = 200 + rand() % 300; break;
            case HIGH_AND_LOW: expected = -400 + rand() % 900; break;
            case GONE: expected = -800; break;
            }
            int wave = rand() % 100;
            ASSERT_FLOAT_EQ(p->baseY, (float)expected) << "music at " << c.t << " s, seed " << seed;
            ASSERT_EQ(p->wavePeriod, 80.0f + wave) << "music at " << c.t << " s, seed " << seed;
            ASSERT_EQ(rand(), afterReset) << "music at " << c.t << " s: the draws after the height";
        }
    }
}

TEST_F(Pigeons, AnOddWaveOffsetMirrorsTheSineWave)
{
    const double t = 130.0;
    gameMusicElapsed = t;
    double swing = 176 * sin(t * 0.25 * 2.333333333 * 3.14159265);
    for (int offset : {0, 3, 6, 9}) {
        flock.pigeonWaveOffset = offset;
        srand(5);
        resetPigeon(&flock.pigeons[0]);
        srand(5);
        replayLead();
        int r = rand() % 35;
        EXPECT_NEAR(flock.pigeons[0].baseY, 340 + r + (offset % 2 ? -swing : swing), 0.01) << "offset " << offset;
    }
}

//---- Flight and fall

TEST_F(Pigeons, APigeonFliesLeftOnItsWaveFlapsEveryEightyMillisecondsAndReentersPastTheEdge)
{
    Pigeon* p = flyingPigeon(600, 300);
    updatePigeon(p, 0.05f);
    EXPECT_FLOAT_EQ(p->x, 580);
    EXPECT_FLOAT_EQ(p->y, 300 + 30 * (float)sin(5.8));
    EXPECT_EQ(p->frame1->sprite.alpha, 100.0f) << "no flap yet after 0.05 s";
    EXPECT_EQ(p->frame2->sprite.y, p->y);
    updatePigeon(p, 0.04f);  // 0.09 s > 0.08
    EXPECT_EQ(p->frame2->sprite.alpha, 100.0f);
    EXPECT_EQ(p->flapTimer, 0.0f);
    updatePigeon(p, 0.09f);
    EXPECT_EQ(p->frame1->sprite.alpha, 100.0f);

    p = flyingPigeon(-29, 300, 100);
    updatePigeon(p, 0.01f);  // x = -30 exactly: still here
    EXPECT_FLOAT_EQ(p->x, -30);
    gameMusicElapsed = 300.0;
    updatePigeon(p, 0.01f);
    EXPECT_EQ(p->frame1->sprite.x, 1124.0f) << "respawned and not moved again this frame";
    EXPECT_EQ(p->baseY, -800.0f) << "after 293 s new pigeons fly out of sight";
}

TEST_F(Pigeons, PigeonsWithin250PixelsClimbOrDiveAwayFromTheOwlEvenWhileFalling)
{
    // Owl 100 above or below a pigeon at 400 (or 300 for a falling one, which also falls 40).
    const struct {
        int struck;
        float baseY, owlDy, owlDx, after;
        int mode;
    } cases[] = {
        {0, 400, -100, 0, 430, 1},
        {0, 400, 100, 0, 370, 0},
        {1, 300, -100, 0, 370, 1},
        {1, 300, 100, 0, 310, 0},
        {0, 400, 30 * (float)sin(5.0), 250, 400, 2},
    };
    for (const auto& k : cases) {
        Pigeon* p = flyingPigeon(500, k.baseY, 0);
        p->struck = k.struck;
        owl.x = 500 + k.owlDx;
        owl.y = k.baseY + k.owlDy;
        updatePigeon(p, 0.1f);
        EXPECT_EQ(p->fleeMode, k.mode) << "owl at +" << k.owlDx << ", " << k.owlDy << ", struck " << k.struck;
        EXPECT_FLOAT_EQ(p->baseY, k.after) << "owl at +" << k.owlDx << ", " << k.owlDy << ", struck " << k.struck;
    }

    // A pigeon that has fled below 550 darts off to the left.
    Pigeon* p = flyingPigeon(500, 549, 0);
    owl.x = 500;
    owl.y = 450;
    updatePigeon(p, 0.01f);
    EXPECT_EQ(p->speed, 1500.0f);
    p = flyingPigeon(500, 540, 200);
    updatePigeon(p, 0.01f);
    EXPECT_EQ(p->speed, 200.0f);
}

TEST_F(Pigeons, AStruckPigeonFallsSpinningAndLiesOnTheStreet)
{
    Pigeon* p = flyingPigeon(600, 300);
    p->struck = 1;
    p->frame1->sprite.alpha = 0;
    p->frame2->sprite.alpha = 100;
    updatePigeon(p, 0.1f);
    EXPECT_FLOAT_EQ(p->y, 300) << "no wave while falling: y is the line before the fall";
    EXPECT_FLOAT_EQ(p->baseY, 340);
    EXPECT_FLOAT_EQ(p->frame1->sprite.rotation, 72.5f);
    EXPECT_EQ(p->frame1->sprite.alpha, 100.0f) << "wings held still";
    EXPECT_EQ(p->frame2->sprite.alpha, 0.0f);

    p->baseY = 800;
    gameScore.LEVEL_SPEED = 130;
    updatePigeon(p, 0.1f);
    EXPECT_EQ(p->baseY, 818.0f);
    EXPECT_EQ(p->speed, 130.0f) << "it scrolls away with the street";
    EXPECT_FLOAT_EQ(p->rotation, 72.5f) << "no spin once it lies";
}

//---- Strike

TEST_F(Pigeons, TheStrikeReachesFortyFivePixelsFromTheScaledStrikePointOnlyInASwoop)
{
    Pigeon* p = flyingPigeon(500, 300, 0);
    float y = 300 + 30 * (float)sin(5.0);
    owl.x = 516 + 44;
    owl.y = y + 16;
    updatePigeon(p, 0);
    EXPECT_EQ(p->struck, 0) << "touching without a swoop strikes nothing";
    owl.swoopActive = 1;
    owl.x = 516 + 45;  // exactly 45: out of reach
    updatePigeon(p, 0);
    EXPECT_EQ(p->struck, 0);
    owl.x = 516 + 44.99f;
    updatePigeon(p, 0);
    EXPECT_EQ(p->struck, 1);
    int score = owl.score;
    updatePigeon(p, 0);
    EXPECT_EQ(gameScore.hitPigeons, 1) << "a struck pigeon is never struck again";
    EXPECT_EQ(owl.score, score);

    p = flyingPigeon(500, 300, 0);
    p->frame1->sprite.scaleX = p->frame1->sprite.scaleY = 2;
    owl.x = 500 + 32 + 44;
    owl.y = y + 32;
    updatePigeon(p, 0);
    EXPECT_EQ(p->struck, 1);
    p->frame1->sprite.scaleX = p->frame1->sprite.scaleY = 1;
}

TEST_F(Pigeons, AStrikeFlashesBurstsAndTheFlashFadesWithTheStreet)
{
    Pigeon* p = flyingPigeon(500, 300, 0);
    ParticleSource* burst = testKeep(NUX_CreateParticleSource(0));
    feathers = burst;
    owl.sinceHit = 4;
    strike(p);
    Sprite* flash = &p->impact->sprite;
    EXPECT_EQ(flash->alpha, 1.0f);
    EXPECT_EQ(flash->x, 500.0f);
    EXPECT_EQ(burst->sprite.x, owl.x) << "feathers burst at the owl";
    EXPECT_EQ(owl.sinceHit, 0.0f);

    owl.x = owl.y = 5000;
    gameScore.LEVEL_SPEED = 100;
    updatePigeon(p, 0.1f);
    EXPECT_FLOAT_EQ(flash->alpha, 0.5f);
    EXPECT_FLOAT_EQ(flash->scaleX, 2.0f);
    EXPECT_FLOAT_EQ(flash->x, 490.0f);
    updatePigeon(p, 0.2f);
    EXPECT_EQ(flash->alpha, 0.0f) << "faded out, and held at zero";
}

TEST_F(Pigeons, TheFirstPigeonOfTheFirstSwoopPaysNineHundredFiftyMore)
{
    // The first pigeon caught in the game's second swoop pays the plain 50.
    for (int swoop : {1, 2}) {
        SetUp();
        gameScore.numSwoops = swoop;
        strike(flyingPigeon(500, 300));
        EXPECT_EQ(owl.score, swoop == 1 ? 1000 : 50) << "swoop " << swoop;
    }
}

TEST_F(Pigeons, CombosShowTheirMarksAndAFifthStrikeStartsOver)
{
    gameScore.swoopLevel = 9;
    gameScore.hitPigeons = 81;  // no level rise for the next five strikes
    gameScore.numSwoops = 3;
    // c-th of the combo, m-th of the swoop: 50 + 50 (c - 1) + 9 (m - 1).
    const int points[5] = {50, 50 + 50 + 9, 50 + 100 + 18, 50 + 150 + 27, 50 + 0 + 36};
    for (int i = 0; i < 5; i++) {
        int before = owl.score;
        owl.comboTimer = 0.99f;
        strike(flyingPigeon(500, 300));
        EXPECT_EQ(owl.score - before, points[i]) << "strike " << i + 1;
        if (i >= 1 && i <= 3) {
            EXPECT_EQ(comboImages[i - 1]->sprite.alpha, 1.0f) << "strike " << i + 1 << " shows x" << i + 1;
        }
    }
    EXPECT_EQ(owl.comboCount, 1) << "the fifth starts a new chain";
    EXPECT_EQ(gameScore.maxMultiplier, 5);

    // A second late by a second breaks the chain: no mark, no combo points.
    comboImages[0]->sprite.alpha = 0;
    int before = owl.score;
    owl.comboTimer = 1.0f;
    strike(flyingPigeon(500, 300));
    EXPECT_EQ(owl.comboCount, 1);
    EXPECT_EQ(comboImages[0]->sprite.alpha, 0.0f);
    EXPECT_EQ(owl.score - before, 50 + 9 * 5);
}

TEST_F(Pigeons, EachStrikeRaisesTheSwoopLevelAtMostOnceAndDrawsItsSoundsInOrder)
{
    // Strikes numbered from 1: the level after each threshold, and no rise just past it.
    const int rises[] = {2, 5, 10, 15, 25, 35, 50, 65, 80, 96, 112, 128};
    gameScore.numSwoops = 2;
    int expectedLevel = 0;
    for (int n = 1; n <= 130; n++) {
        bool rise = expectedLevel < 12 && n == rises[expectedLevel];
        expectedLevel += rise;
        swoopLevelUp->sprite.alpha = 0;
        owl.comboTimer = 5;

        // The draws of a strike: a bonus sound on a rise (not the rise to 10), then a hit sound.
        srand(n);
        strike(flyingPigeon(300, 300));
        int after = rand();
        srand(n);
        if (rise && expectedLevel != 10)
            rand();
        rand();
        ASSERT_EQ(rand(), after) << "the draws of strike " << n;
        ASSERT_EQ(gameScore.swoopLevel, expectedLevel) << "after strike " << n;
        ASSERT_EQ(swoopLevelUp->sprite.alpha, rise ? 1.0f : 0.0f) << "strike " << n;
    }
}

TEST_F(Pigeons, TheMultiplierPaysTheRaisedLevel)
{
    // The second strike of a swoop raises the level to 1 and pays it for the first.
    gameScore.numSwoops = 2;
    strike(flyingPigeon(500, 300));
    int before = owl.score;
    owl.comboTimer = 5;
    strike(flyingPigeon(500, 300));
    EXPECT_EQ(owl.score - before, 50 + 1);
}

//---- Load and start of game

static int indexOnGameScreen(void* item)
{
    for (int i = 0; i < gameScreen->items->count; i++)
        if (gameScreen->items->items[i] == item)
            return i;
    return -1;
}

TEST_F(Pigeons, PigeonsDrawBehindCitizensAndCitizensBehindLamps)
{
    int first = indexOnGameScreen(flock.pigeons[0].frame1);
    ASSERT_GE(first, 0);
    EXPECT_EQ(indexOnGameScreen(flock.pigeons[0].impact), first + 2);
    EXPECT_EQ(indexOnGameScreen(flock.pigeons[599].impact), first + 1799);
    EXPECT_EQ(indexOnGameScreen(street.citizens[0].walk), first + 1800);
    EXPECT_EQ(indexOnGameScreen(street.citizens[9].talk), first + 1829);
    EXPECT_EQ(indexOnGameScreen(street.lamps[17].lampImage), first + 1847);
    EXPECT_EQ(flock.pigeons[123].impact->sprite.additive, 1);
    EXPECT_GT(indexOnGameScreen(street.lamps[0].halo), first + 1847) << "halos draw over the owl";
}

TEST_F(Pigeons, AGameStartsWithEveryPigeonJustOffTheRightEdge)
{
    for (Pigeon& p : flock.pigeons) {
        p.struck = 1;
        p.x = 10;
        p.impact->sprite.alpha = 1;
        p.frame2->sprite.alpha = 100;
    }
    owl.swoopActive = 1;
    owl.x = 924;
    owl.y = 300;
    resetFlock();
    resetStreet();
    for (int i = 0; i < PIGEON_POOL; i++) {
        const Pigeon& p = flock.pigeons[i];
        ASSERT_EQ(p.struck, 0) << "pigeon " << i;
        ASSERT_EQ(p.frame1->sprite.x, 1124.0f) << "pigeon " << i << " placed by an update of no time";
        ASSERT_EQ(p.impact->sprite.alpha + p.frame2->sprite.alpha, 0.0f) << "pigeon " << i;
    }
    EXPECT_EQ(gameScore.hitPigeons, 0);
    EXPECT_GE(street.citizens[9].walk->sprite.x, 1040.0f);
    EXPECT_GE(street.lamps[17].lampImage->sprite.x, 1200.0f);
}
