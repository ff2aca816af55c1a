// libFuzzer target: each input is the text of a motion-capture clip (BVH);
// see ReaderChecks.h for what is asked of it.
#include "tests/fuzz/FuzzMain.h"
#include "tests/fuzz/ReaderChecks.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return runCheck(checkBvhInput, data, size);
}
