/* Preloaded into kelvoenc by the tests to make reads of one source fail
 * part of the way in, as a failing disk or a file cut short while it is
 * read would. READ_FAULT_FILE names the file (its last path component, or
 * "*" and the end of it), READ_FAULT_AFTER the byte offset where the fault
 * starts, READ_FAULT_KIND "eio" for an I/O error there, "eof" for an early
 * end, "term" for a stop signal sent to the process while it reads, or
 * "slow" for slow media that keep delivering: 4 kB every 100 ms. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <signal.h>
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

ssize_t read(int fd, void* buffer, size_t count) {
    static ssize_t (*real_read)(int, void*, size_t);
    if (!real_read) real_read = (ssize_t(*)(int, void*, size_t))dlsym(RTLD_NEXT, "read");
    if (!IsFaultyFile(fd)) return real_read(fd, buffer, count);
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
