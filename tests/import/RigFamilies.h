#pragma once

#include "ImportTestSupport.h"

#include <array>
#include <string>
#include <vector>

// The rigs motion capture comes in, each as a dressing of the figure's own
// export (ImportTestSupport.h) and the mapping the importer must find for
// it. A dressing that keeps the motion exactly must also retarget to the
// same poses as the figure's own export.
struct RigFamily {
    std::string name;
    Dress dress;
    // The source joint each figure bone begins at, in bone order, as the
    // map file names it.
    std::array<std::string, 21> expected;
    // False where the dressing takes out a joint that turns.
    bool sameMotion = true;
};

// Figure's own export, CMU for 3ds Max, CMU for MotionBuilder, an optical
// studio's, a sensor suit's, Poser / Second Life, Mixamo, and a biped with z
// up.
std::vector<RigFamily> rigFamilies();
