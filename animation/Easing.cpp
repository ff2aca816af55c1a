#include "animation/Easing.h"

#include "animation/MotionType.h"

#include <cassert>

double easeLinear(double t, double d, double a, double b) {
    double c = b - a;
    return a + c * t / d;
}

double easeInQuad(double t, double d, double a, double b) {
    double c = b - a;
    double p = t / d;
    return a + c * (p * p);
}

double easeOutQuad(double t, double d, double a, double b) {
    double c = b - a;
    double e = t / d;
    return a - c * e * (e - 2);
}

double easeInOutQuad(double t, double d, double a, double b) {
    double c = b - a;
    double p = t / (d * 0.5);
    if (p < 1) {
        return a + (c * 0.5) * (p * p);
    }
    return easeInOutQuadTail(p, a, c);
}

double easeInOutQuadTail(double p, double a, double c) {
    return a - (c * 0.5) * ((p - 1) * (p - 3) - 1);
}

double ease(int motionType, double t, double d, double a, double b) {
    switch (motionType) {
    case MotionType::Linear:
        return easeLinear(t, d, a, b);
    case MotionType::EaseIn:
        return easeInQuad(t, d, a, b);
    case MotionType::EaseOut:
        return easeOutQuad(t, d, a, b);
    case MotionType::EaseInOut:
        return easeInOutQuad(t, d, a, b);
    }
    assert(!"ease() called with an unknown motion type");
    return a;
}
