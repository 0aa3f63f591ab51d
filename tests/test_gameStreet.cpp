// Tests of the street: citizens walking, knocked down by falling pigeons for a life or points,
// speaking or paying as the owl flies by; lamps drifting with the street and electrocuting.

#include "gameLocal.h"
#include "main.h"
#include "testutil.h"

#include <gtest/gtest.h>
#include <cmath>    // sin
#include <cstdlib>  // srand, rand

//---- Fixture

class TheStreet : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        testStartHeadless(true);
    }

    void SetUp() override
    {
        owl.x = owl.y = 100;
        owl.swoopActive = owl.dying = 0;
        owl.deathDrift = 0;
        owl.lives = 5;
        owl.score = 0;
        gameScore.humansHit = 0;
        gameScore.LEVEL_SPEED = 82;
        gamePlay.speakElapsed = 0;
        // Every pigeon of the pool flying, far from the street.
        for (Pigeon& p : flock.pigeons) {
            p.struck = 0;
            p.x = 3000;
            p.y = 100;
        }
    }

    // Citizen i standing at x (the bob puts its y on the walking line), not hit, not talking.
    static Citizen* citizenAt(int i, float x)
    {
        Citizen* c = &street.citizens[i];
        c->x = x;
        c->y = 650;
        c->speed = 100;
        c->hit = 0;
        c->flyByPaid = 0;
        c->talkTimer = 0;
        updateCitizen(c, 0);
        return c;
    }

    // A struck pigeon of the pool placed right on the citizen's body.
    static Pigeon* fallingOnto(const Citizen* c, int index = 0)
    {
        Pigeon* p = &flock.pigeons[index];
        p->struck = 1;
        p->x = c->x;
        p->y = c->y + 20;
        return p;
    }

    // The owl placed `dx` to the right of the citizen's middle, at its height.
    static void owlBeside(const Citizen* c, float dx)
    {
        owl.x = c->x + 15 + dx;
        owl.y = c->y + 35;
    }
};

//---- Citizens

TEST_F(TheStreet, ACitizenEntersRightAtItsOwnSpeedWalksBobbingAndRespawnsPastTheLeftEdge)
{
    Citizen* c = &street.citizens[0];
    c->hit = 1;
    gameScore.LEVEL_SPEED = 118;
    srand(9);
    resetCitizen(c);
    srand(9);
    int speed = rand() % 50;
    int x = rand() % 1000;
    EXPECT_FLOAT_EQ(c->speed, (float)(118 * 1.13 + speed));
    EXPECT_EQ(c->x, 1040.0f + x);
    EXPECT_EQ(c->hit, 0);

    // It keeps that speed when the street speeds up, and bobs on its line.
    gameScore.LEVEL_SPEED = 400;
    c = citizenAt(0, 400);
    updateCitizen(c, 0.5f);
    EXPECT_FLOAT_EQ(c->x, 350);
    EXPECT_FLOAT_EQ(c->knocked->sprite.y, 650 + 10 * (float)sin(7.0));

    c = citizenAt(0, -99);
    c->hit = 1;
    updateCitizen(c, 0.01f);  // -100: still here
    EXPECT_FLOAT_EQ(c->x, -100);
    updateCitizen(c, 0.01f);
    EXPECT_GE(c->x, 1040.0f);
    EXPECT_EQ(c->walk->sprite.alpha, 1.0f) << "respawned walking";
}

TEST_F(TheStreet, AFallingPigeonGivesALifeOrTwoHundredPointsWhenLivesAreFull)
{
    const struct {
        int lives, livesAfter, points;
    } cases[] = {{3, 4, 0}, {4, 5, 0}, {5, 5, 200}};
    for (const auto& k : cases) {
        SetUp();
        owl.lives = k.lives;
        Citizen* c = citizenAt(0, 500);
        fallingOnto(c);
        updateCitizen(c, 0);
        EXPECT_EQ(owl.lives, k.livesAfter) << "with " << k.lives << " lives";
        EXPECT_EQ(owl.score, k.points) << "with " << k.lives << " lives";
        EXPECT_EQ(c->knocked->sprite.alpha - c->walk->sprite.alpha, 1.0f);

        // Already down: nothing more from the same or another pigeon.
        fallingOnto(c, 1);
        updateCitizen(c, 0);
        EXPECT_EQ(owl.lives, k.livesAfter);
        EXPECT_EQ(gameScore.humansHit, 1);
    }
}

TEST_F(TheStreet, OnlyStruckPigeonsWithinFortyPixelsKnockCitizensDownSeveralAtOnce)
{
    Citizen* c = citizenAt(0, 500);
    Pigeon* p = fallingOnto(c);
    p->struck = 0;
    updateCitizen(c, 0);
    EXPECT_EQ(c->hit, 0) << "a flying pigeon passes through";

    p->struck = 1;
    p->x = c->x + 40;  // centres exactly 40 apart
    updateCitizen(c, 0);
    EXPECT_EQ(c->hit, 0);
    p->x = c->x + 39.99f;
    updateCitizen(c, 0);
    EXPECT_EQ(c->hit, 1);

    // Pigeons beyond those in play count too, and one pigeon fells two citizens.
    Citizen* a = citizenAt(1, 300);
    Citizen* b = citizenAt(2, 305);
    p = fallingOnto(a, 599);
    p->x = 302;
    updateCitizen(a, 0);
    updateCitizen(b, 0);
    EXPECT_EQ(a->hit + b->hit, 2);
    EXPECT_EQ(gameScore.humansHit, 3);
    EXPECT_EQ(p->struck, 1) << "the pigeon falls on";
}

TEST_F(TheStreet, SevenCitizensInEightCryOut)
{
    // The cry is decided by the first draw; the second picks the cry and is only made for one.
    int silent = 0;
    for (int seed = 1; seed <= 200; seed++) {
        flock.pigeons[0].struck = 0;
        Citizen* c = citizenAt(0, 500);
        fallingOnto(c);
        srand(seed);
        updateCitizen(c, 0);
        int after = rand();
        srand(seed);
        if (rand() % 8 != 6)
            rand();
        else
            silent++;
        ASSERT_EQ(rand(), after) << "seed " << seed;
    }
    EXPECT_GT(silent, 10);
    EXPECT_LT(silent, 45);
}

TEST_F(TheStreet, OneCitizenSpeaksAtATimeAndTheOthersPayOnce)
{
    // The first within 149 pixels speaks and silences the street for 3 seconds.
    Citizen* a = citizenAt(0, 500);
    owlBeside(a, 149.9f);  // 149 once truncated
    updateCitizen(a, 0);
    EXPECT_EQ(gamePlay.speakElapsed, 3.0f);
    EXPECT_FLOAT_EQ(a->talkTimer, 0.7f);
    EXPECT_EQ(owl.score, 0);

    // Another one approached meanwhile, within 139, pays 10 on the first frame only.
    Citizen* b = citizenAt(1, 800);
    owlBeside(b, 139);
    updateCitizen(b, 0.1f);
    EXPECT_EQ(owl.score, 10);
    EXPECT_FLOAT_EQ(b->talkTimer, 0.4f) << "re-armed to 0.5, then counted down";
    for (int i = 0; i < 5; i++) {
        owlBeside(b, 100);
        updateCitizen(b, 0.1f);
    }
    EXPECT_EQ(owl.score, 10) << "once between respawns";

    // Out of reach the talking runs out, slightly below zero, and still it never pays again.
    owl.x = owl.y = 5000;
    for (int i = 0; i < 6; i++)
        updateCitizen(b, 0.1f);
    EXPECT_LT(b->talkTimer, 0.0f);
    EXPECT_EQ(b->walk->sprite.alpha, 1.0f);
    owlBeside(b, 50);
    updateCitizen(b, 0.1f);
    EXPECT_EQ(owl.score, 10);

    // Beyond 139 and while the street is silent: nothing at all; at 150 nobody speaks.
    Citizen* c = citizenAt(2, 200);
    owlBeside(c, 140);
    updateCitizen(c, 0);
    EXPECT_EQ(owl.score, 10);
    gamePlay.speakElapsed = 0;
    owlBeside(c, 150);
    updateCitizen(c, 0);
    EXPECT_EQ(gamePlay.speakElapsed, 0.0f);
}

// Hovering over a knocked-down citizen once paid 10 points on every frame: hundreds a second.
TEST_F(TheStreet, AKnockedDownCitizenPaysItsFlyByOncePerKnockDown)
{
    gamePlay.speakElapsed = 2;
    Citizen* c = citizenAt(0, 500);
    c->hit = 1;
    owlBeside(c, 100);
    for (int i = 0; i < 60; i++)
        updateCitizen(c, 0.01f);
    EXPECT_EQ(owl.score, 10);
    owl.x = owl.y = 5000;
    for (int i = 0; i < 60; i++)
        updateCitizen(c, 0.01f);
    owlBeside(c, 100);
    updateCitizen(c, 0.01f);
    EXPECT_EQ(owl.score, 10) << "leaving and coming back pays nothing more";
    EXPECT_EQ(c->talk->sprite.alpha, 0.0f);
}

TEST_F(TheStreet, TheOwlIsMeasuredBeforeTheCitizensStep)
{
    // 140 away before the step, 130 after it: no pay this frame.
    gamePlay.speakElapsed = 2;
    Citizen* c = citizenAt(0, 500);
    owlBeside(c, -140);
    updateCitizen(c, 0.1f);
    EXPECT_EQ(owl.score, 0);
    updateCitizen(c, 0.0f);
    EXPECT_EQ(owl.score, 10);
}

//---- Lamps

TEST_F(TheStreet, ALampEntersRightAtARandomHeightAndHigherOnesPassFaster)
{
    Lamp* l = &street.lamps[0];
    srand(17);
    resetLamp(l);
    srand(17);
    int y = rand() % 300;
    int x = rand() % 1000;
    EXPECT_EQ(l->y, 300.0f + y);
    EXPECT_EQ(l->x, 1200.0f + x);

    // The speed follows the street on every frame.
    l->x = 800;
    l->y = 599;
    updateLamp(l, 0.1f);
    EXPECT_FLOAT_EQ(l->speed, 1.8f * 82 - 74.75f);
    EXPECT_FLOAT_EQ(l->halo->sprite.x, 800 - l->speed * 0.1f - 140);
    gameScore.LEVEL_SPEED = 202;
    l->y = 300;
    updateLamp(l, 0);
    EXPECT_FLOAT_EQ(l->speed, 1.8f * 202);

    l->x = -99;
    updateLamp(l, 0.001f);
    EXPECT_FLOAT_EQ(l->x, -99.3636f) << "not yet past -100";
    updateLamp(l, 0.1f);
    EXPECT_GE(l->lampImage->sprite.x, 1200.0f) << "respawned";
}

TEST_F(TheStreet, TheLampsHeadElectrocutesWithinThirtyFivePixels)
{
    Lamp* l = &street.lamps[0];
    l->x = 600;
    l->y = 400;
    owl.lives = 3;
    owl.x = 626 + 35;  // exactly 35 from the head: survives
    owl.y = 436;
    updateLamp(l, 0);
    EXPECT_EQ(owl.dying, 0);

    owl.x = 626 + 34.99f;
    updateLamp(l, 0);
    EXPECT_EQ(owl.dying, 1);
    EXPECT_EQ(owl.lives, 2);

    // Contact on the following frames takes no further life; the owl drifts off with the lamp.
    gameScore.LEVEL_SPEED = 300;
    updateLamp(l, 0);
    EXPECT_EQ(owl.lives, 2);
    EXPECT_FLOAT_EQ(owl.deathDrift, 1.8f * 300 - 25);
    respawnOwl();
}
