// A stand-in for the spreadsheet library that exports only some of its functions, so the binding's
// "function missing" errors can be seen. Which ones is chosen at build time.
#include <cstdint>

#define EXPORTED extern "C" __attribute__((visibility("default")))

#ifdef WITH_INIT
EXPORTED bool _XlsInit(const char*)
{
    return true;
}
#endif

#ifdef WITH_DEINIT
EXPORTED bool _XlsDeinit()
{
    return true;
}
#endif
