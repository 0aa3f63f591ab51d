// interpolation: Penner's easing equations with begin 0, change 1 and duration 1.
// The constants are the game's own rounded ones (pi as 3.1415926), so curves match frame for frame.

#include "interpolation.h"

#include <cmath>  // pow, sqrt, sin, cos

//---- Constants

static const float BACK_OVERSHOOT = 1.70158f;
static const float ELASTIC_PERIOD = 0.3f;
static const double HALF_PI = 1.5707963;
static const double PI = 3.1415926;
static const double TWO_PI = 6.2831852;

//---- Curves

static double bounceOut(double t)
{
    if (t < 0.36363636363636365)
        return 7.5625 * t * t;
    if (t < 0.7272727272727273) {
        t -= 0.5454545454545454;
        return 7.5625 * t * t + 0.75;
    }
    if (t < 0.9090909090909091) {
        t -= 0.8181818181818182;
        return 7.5625 * t * t + 0.9375;
    }
    t -= 0.9545454545454546;
    return 7.5625 * t * t + 0.984375;
}

static double ease(double t, unsigned type)
{
    const double u = 2.0 * t;
    const double s = BACK_OVERSHOOT;
    switch (type) {
    case 1: return t * t;
    case 2: return -t * (t - 2.0);
    case 3: return u < 1.0 ? u * u / 2.0 : -((u - 1.0) * (u - 3.0) - 1.0) / 2.0;
    case 4: return t * t * t;
    case 5: return pow(t - 1.0, 3.0) + 1.0;
    case 6: return u < 1.0 ? u * u * u / 2.0 : (pow(u - 2.0, 3.0) + 2.0) / 2.0;
    case 7: return t == 0.0 ? 0.0 : pow(2.0, 10.0 * (t - 1.0));
    case 8: return t == 1.0 ? 1.0 : 1.0 - pow(2.0, -10.0 * t);
    case 9:
        if (t == 0.0)
            return 0.0;
        if (t == 1.0)
            return 1.0;
        if (u < 1.0)
            return pow(2.0, 10.0 * (u - 1.0)) / 2.0;
        return (2.0 - pow(2.0, -10.0 * (u - 1.0))) / 2.0;
    case 10: return -(sqrt(1.0 - t * t) - 1.0);
    case 11: return sqrt(1.0 - (t - 1.0) * (t - 1.0));
    case 12:
        if (u < 1.0)
            return -(sqrt(1.0 - u * u) - 1.0) / 2.0;
        return (sqrt(1.0 - (u - 2.0) * (u - 2.0)) + 1.0) / 2.0;
    case 13: return 1.0 - cos(t * HALF_PI);
    case 14: return sin(t * HALF_PI);
    case 15: return -(cos(t * PI) - 1.0) / 2.0;
    case 16: return 1.0 - ease(1.0 - t, 17);
    case 17: return bounceOut(t);
    case 18:
        if (t < 0.5)
            return ease(2.0 * t, 16) * 0.5;
        return ease(2.0 * t - 1.0, 17) * 0.5 + 0.5;
    case 19: return t * t * ((s + 1.0) * t - s);
    case 20: {
        double v = t - 1.0;
        return v * v * ((s + 1.0) * v + s) + 1.0;
    }
    case 21: {
        double S = s * 1.525;
        if (u < 1.0)
            return u * u * ((S + 1.0) * u - S) / 2.0;
        double v = u - 2.0;
        return (v * v * ((S + 1.0) * v + S) + 2.0) / 2.0;
    }
    case 22: {
        if (t == 0.0)
            return 0.0;
        if (t == 1.0)
            return 1.0;
        double p = ELASTIC_PERIOD, q = p / 4.0, v = t - 1.0;
        return -pow(2.0, 10.0 * v) * sin((v - q) * TWO_PI / p);
    }
    case 23: {
        if (t == 0.0)
            return 0.0;
        if (t == 1.0)
            return 1.0;
        double p = ELASTIC_PERIOD, q = p / 4.0;
        return pow(2.0, -10.0 * t) * sin((t - q) * TWO_PI / p) + 1.0;
    }
    case 24: {
        if (t == 0.0)
            return 0.0;
        if (u == 2.0)
            return 1.0;
        double p = (float)(0.3 * 1.5), q = p / 4.0, v = u - 1.0;
        if (u < 1.0)
            return -0.5 * pow(2.0, 10.0 * v) * sin((v - q) * TWO_PI / p);
        return 0.5 * pow(2.0, -10.0 * v) * sin((v - q) * TWO_PI / p) + 1.0;
    }
    default: return t;
    }
}

//---- Public

float interpolate(float t, int type)
{
    return (float)ease((double)t, (unsigned)type);
}
