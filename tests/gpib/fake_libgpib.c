/* A stand-in for the Linux GPIB driver's user library with the same entry points: device
 * descriptors are 100 + the primary address, board 1 does not exist, a read returns the last
 * bytes written. Built twice: with the per-thread status accessors only (its status variables
 * hidden), and with the exported status variables only, as older versions of the library have. */
#include <string.h>

#ifdef FAKE_THREAD_ACCESSORS
static int ibsta, iberr, ibcnt;
int ThreadIbsta(void) {
    return ibsta;
}
int ThreadIberr(void) {
    return iberr;
}
int ThreadIbcnt(void) {
    return ibcnt;
}
#else
int ibsta, iberr, ibcnt;
#endif

static char last_written[256];
static long last_count;

static int done(int sta, int cnt) {
    ibsta = sta;
    ibcnt = cnt;
    return ibsta;
}

int ibdev(int board, int pad, int sad, int timeout, int eot, int eos) {
    (void)sad, (void)timeout, (void)eot, (void)eos;
    if (board != 0) {
        iberr = 7; /* ENEB */
        done(0x8000, 0);
        return -1;
    }
    done(0x0100, 0);
    return 100 + pad;
}

int ibclr(int ud) {
    return done(ud >= 100 ? 0x0100 : 0x8000, 0);
}

int ibonl(int ud, int online) {
    (void)online;
    return done(ud >= 100 ? 0x0100 : 0x8000, 0);
}

int ibwrt(int ud, const void* data, long count) {
    (void)ud;
    last_count = count < (long)sizeof last_written ? count : (long)sizeof last_written;
    memcpy(last_written, data, (size_t)last_count);
    return done(0x0100, (int)count);
}

int ibrd(int ud, void* buffer, long count) {
    (void)ud;
    const long n = count < last_count ? count : last_count;
    memcpy(buffer, last_written, (size_t)n);
    return done(0x2100, (int)n);
}
