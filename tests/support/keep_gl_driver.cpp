/* Preloaded into test processes: keeps Mesa's software GL driver mapped
 * until the process ends. Mesa unloads the driver when the last window
 * closes; allocations the driver keeps on purpose would then show up in the
 * leak checker's report as "<unknown module>", which no suppression can
 * name. With the driver still mapped they carry its name and lsan.supp
 * matches them. It changes nothing else. */
#include <dlfcn.h>

__attribute__((constructor)) static void keepGlDriver(void) {
    static const char* const drivers[] = {
        "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so",
        "/usr/lib/x86_64-linux-gnu/dri/kms_swrast_dri.so",
    };
    for (unsigned i = 0; i < sizeof drivers / sizeof drivers[0]; ++i)
        dlopen(drivers[i], RTLD_LAZY | RTLD_GLOBAL | RTLD_NODELETE);
}
