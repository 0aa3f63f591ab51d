// Tests of the easing curves: endpoints, branch boundaries and the curves' characteristic shapes.

#include "interpolation.h"

#include <gtest/gtest.h>
#include <algorithm>  // min
#include <cmath>      // isnan, sin

TEST(Interpolate, UnknownTypesAndLinearReturnT)
{
    for (int type : {0, 25, -1, 1000}) {
        EXPECT_FLOAT_EQ(interpolate(0.37f, type), 0.37f) << "type " << type;
        EXPECT_FLOAT_EQ(interpolate(1.7f, type), 1.7f) << "type " << type;
    }
}

TEST(Interpolate, EveryCurveRunsFromZeroToOne)
{
    for (int type = 1; type <= 24; type++) {
        EXPECT_NEAR(interpolate(0.0f, type), 0.0f, 1e-6) << "type " << type;
        EXPECT_NEAR(interpolate(1.0f, type), 1.0f, 1e-6) << "type " << type;
    }
    // The exponential and elastic curves hit the ends exactly through their equality tests.
    for (int type : {7, 8, 9, 22, 23, 24}) {
        EXPECT_EQ(interpolate(0.0f, type), 0.0f) << "type " << type;
        EXPECT_EQ(interpolate(1.0f, type), 1.0f) << "type " << type;
    }
}

TEST(Interpolate, KnownValuesOfEachFamily)
{
    struct Case {
        int type;
        float t, expected;
    } cases[] = {
        {1, 0.5f, 0.25f},
        {2, 0.5f, 0.75f},
        {3, 0.25f, 0.125f},
        {3, 0.75f, 0.875f},
        {4, 0.5f, 0.125f},
        {5, 0.5f, 0.875f},
        {6, 0.25f, 0.0625f},
        {6, 0.75f, 0.9375f},
        {7, 0.5f, 0.03125f},
        {8, 0.5f, 0.96875f},
        {9, 0.25f, 0.015625f},
        {10, 0.6f, 0.2f},
        {11, 0.4f, 0.8f},
        {13, 1.0f / 3.0f, 0.1339746f},
        {14, 1.0f / 3.0f, 0.5f},
        {15, 0.5f, 0.5f},
        {17, 0.2f, 0.3025f},
        // Circular in-out; bounce in and in-out; back in, out and in-out (overshoot 1.70158, times
        // 1.525 in-out); elastic in, out (period 0.3) and in-out (period 0.45): worked out by hand
        // from the textbook curves, each at a point where its shape shows.
        {12, 0.25f, 0.0669873f},
        {12, 0.75f, 0.9330127f},
        {16, 0.8f, 0.6975f},
        {18, 0.1f, 0.03f},
        {18, 0.9f, 0.97f},
        {19, 0.5f, -0.0876975f},
        {20, 0.5f, 1.0876975f},
        {21, 0.25f, -0.0996818f},
        {21, 0.75f, 1.0996818f},
        {22, 0.5f, -0.015625f},
        {23, 0.5f, 1.015625f},
        {24, 0.25f, 0.0119694f},
        {24, 0.75f, 0.9880306f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(interpolate(c.t, c.type), c.expected, 2e-6) << "type " << c.type << " at " << c.t;
}

TEST(Interpolate, BounceBranchesChangeOnStrictBounds)
{
    // Exactly on the first breakpoint the second branch applies: 7.5625 (t - 6/11)^2 + 0.75.
    const double t = 0.36363636363636365;
    const double second = 7.5625 * (t - 0.5454545454545454) * (t - 0.5454545454545454) + 0.75;
    EXPECT_NEAR(interpolate((float)t, 17), second, 1e-6);
    // Bounce in-out at one half takes its second half: bounce out of 0, halved, plus one half.
    EXPECT_NEAR(interpolate(0.5f, 18), 0.5f, 1e-6);
    // Bounce in mirrors bounce out.
    EXPECT_NEAR(interpolate(0.3f, 16), 1.0f - interpolate(0.7f, 17), 1e-6);
}

TEST(Interpolate, BackAndElasticOvershoot)
{
    EXPECT_LT(interpolate(0.42f, 19), -0.09f);  // back in dips below 0 near 0.42
    EXPECT_GT(interpolate(0.58f, 20), 1.09f);   // back out overshoots 1
    float lowest = 1.0f;
    for (float t = 0.5f; t < 1.0f; t += 0.01f)
        lowest = std::min(lowest, interpolate(t, 22));
    EXPECT_LT(lowest, -0.1f);                // elastic in dips below 0 before t = 1
    EXPECT_LT(interpolate(0.3f, 21), 0.0f);  // back in-out dips early
    EXPECT_GT(interpolate(0.7f, 21), 1.0f);  // and overshoots late
}

TEST(Interpolate, OutsideTheUnitInterval)
{
    EXPECT_TRUE(std::isnan(interpolate(1.5f, 10)));  // circular curves have no real value past 1
    EXPECT_TRUE(std::isnan(interpolate(2.5f, 11)));
    EXPECT_FLOAT_EQ(interpolate(2.0f, 1), 4.0f);  // polynomials extrapolate
    EXPECT_NEAR(interpolate(2.0f, 14), std::sin(2.0 * 1.5707963), 1e-6);
}
