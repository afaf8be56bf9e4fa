/* Preloaded into kelvoenc by the tests to make reads of one source fail
 * part of the way in, as a failing disk or a file cut short while it is
 * read would. READ_FAULT_FILE names the file (its last path component, or
 * "*" and the end of it), READ_FAULT_AFTER the byte offset where the fault
 * starts, READ_FAULT_KIND "eio" for an I/O error there, "eof" for an early
 * end, "term" for a stop signal sent to the process while it reads, or
 * "slow" for slow media that keep delivering: 4 kB every 100 ms. With
 * READ_FAULT_KIND "tally" nothing fails: the opens of the file are
 * counted and written to standard error at the end, as
 * "read-fault tally: N opens". */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int IsFaultyFile(int fd) {
    const char* wanted = getenv("READ_FAULT_FILE");
    if (!wanted) return 0;
    char link[64];
    char target[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t length = readlink(link, target, sizeof target - 1);
    if (length <= 0) return 0;
    target[length] = '\0';
    const char* name = strrchr(target, '/');
    name = name ? name + 1 : target;
    if (wanted[0] != '*') return strcmp(name, wanted) == 0;
    size_t nameLength = strlen(name), endLength = strlen(wanted + 1);
    return nameLength >= endLength && strcmp(name + nameLength - endLength, wanted + 1) == 0;
}

static unsigned opens;

static int KindIs(const char* wanted) {
    const char* kind = getenv("READ_FAULT_KIND");
    return kind && strcmp(kind, wanted) == 0;
}

__attribute__((destructor)) static void WriteTally(void) {
    if (KindIs("tally")) fprintf(stderr, "read-fault tally: %u opens\n", opens);
}

static int IsTalliedPath(const char* path) {
    const char* wanted = getenv("READ_FAULT_FILE");
    if (!wanted || !KindIs("tally")) return 0;
    const char* name = strrchr(path, '/');
    return strcmp(name ? name + 1 : path, wanted) == 0;
}

/* FFmpeg opens files through open64. */
int open64(const char* path, int flags, ...) {
    static int (*real_open)(const char*, int, ...);
    if (!real_open) real_open = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, "open64");
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    if (IsTalliedPath(path)) ++opens;
    return real_open(path, flags, mode);
}

ssize_t read(int fd, void* buffer, size_t count) {
    static ssize_t (*real_read)(int, void*, size_t);
    if (!real_read) real_read = (ssize_t(*)(int, void*, size_t))dlsym(RTLD_NEXT, "read");
    if (!IsFaultyFile(fd)) return real_read(fd, buffer, count);
    if (KindIs("tally")) return real_read(fd, buffer, count);
    const char* after = getenv("READ_FAULT_AFTER");
    off_t limit = after ? (off_t)atoll(after) : 0;
    off_t position = lseek(fd, 0, SEEK_CUR);
    if (position >= limit) {
        const char* kind = getenv("READ_FAULT_KIND");
        if (kind && strcmp(kind, "eof") == 0) return 0;
        if (kind && strcmp(kind, "slow") == 0) {
            usleep(100000);
            return real_read(fd, buffer, count < 4096 ? count : 4096);
        }
        if (kind && strcmp(kind, "term") == 0) {
            kill(getpid(), SIGTERM);
            return real_read(fd, buffer, count);
        }
        errno = EIO;
        return -1;
    }
    if ((off_t)count > limit - position) count = (size_t)(limit - position);
    return real_read(fd, buffer, count);
}
