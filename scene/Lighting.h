#pragma once

// The two fixed directional lights of the 3-D scene, as OpenGL takes them
// (RGBA single-precision colours, positions with w = 0). Building the record
// touches no GL state; LightingGL.h applies and switches it.
struct Lighting {
    float ambient[4] = {0.1f, 0.1f, 0.1f, 1.0f};
    float diffuse0[4] = {0.9f, 0.9f, 0.9f, 1.0f};
    float diffuse1[4] = {0.3f, 0.3f, 0.33f, 1.0f};
    float specular0[4] = {0, 0, 0, 0};
    float specular1[4] = {0, 0, 0, 0};
    double direction0[3] = {2, 3, 2};
    double direction1[3] = {2, 3, 2};
    float position0[4];
    float position1[4];
    bool light0On = true;
    bool light1On = true;

    // Copies the directions into the position vectors with w = 0.
    Lighting();

    // Flips light `which` (0 or 1) and returns its new state; any other
    // number changes nothing and returns false.
    bool flip(int which);
};
