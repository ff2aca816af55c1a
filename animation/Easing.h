#pragma once

// The four easing curves of a transition. Each gives the value at time t of
// a move from a (start) to b (end) that lasts d seconds; c = b - a. The
// formulas are evaluated exactly as written, for t in [0, d] and d > 0; the
// caller keeps d > 0 (a zero-length transition has no in-between values).

// a + c * t / d.
double easeLinear(double t, double d, double a, double b);
// With p = t / d: a + c * p^2.
double easeInQuad(double t, double d, double a, double b);
// With e = t / d: a - c * e * (e - 2).
double easeOutQuad(double t, double d, double a, double b);
// With p = t / (d * 0.5): a + (c * 0.5) * p^2 while p < 1, otherwise
// easeInOutQuadTail(p, a, c).
double easeInOutQuad(double t, double d, double a, double b);
// Second half of easeInOutQuad: a - (c * 0.5) * ((p - 1) * (p - 3) - 1).
double easeInOutQuadTail(double p, double a, double c);

// The curve named by a MotionType code. `motionType` must be one of the four
// codes (isMotionType); the player never moves the skeleton for others.
double ease(int motionType, double t, double d, double a, double b);
