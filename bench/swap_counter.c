/* Preloaded into a GLX program under measurement: counts glXSwapBuffers calls
   and appends "milliseconds-since-first-swap total-swaps" to $QV_SWAP_LOG
   every quarter second, so a benchmark can take the rate over any stretch. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

typedef void (*SwapBuffers)(void* display, unsigned long drawable);

static long long NowMs(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

void glXSwapBuffers(void* display, unsigned long drawable)
{
    static SwapBuffers real = NULL;
    static FILE* log = NULL;
    static long long first = -1, lastWrite = 0, swaps = 0;
    if (real == NULL) {
        real = (SwapBuffers)dlsym(RTLD_NEXT, "glXSwapBuffers");
        const char* path = getenv("QV_SWAP_LOG");
        if (path != NULL) log = fopen(path, "w");
    }
    real(display, drawable);
    ++swaps;
    const long long now = NowMs();
    if (first < 0) first = now;
    if (log != NULL && now - lastWrite >= 250) {
        fprintf(log, "%lld %lld\n", now - first, swaps);
        fflush(log);
        lastWrite = now;
    }
}
