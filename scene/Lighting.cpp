#include "scene/Lighting.h"

Lighting::Lighting() {
    for (int i = 0; i < 3; ++i) {
        position0[i] = static_cast<float>(direction0[i]);
        position1[i] = static_cast<float>(direction1[i]);
    }
    position0[3] = 0;
    position1[3] = 0;
}

bool Lighting::flip(int which) {
    if (which == 0)
        return light0On = !light0On;
    if (which == 1)
        return light1On = !light1On;
    return false;
}
