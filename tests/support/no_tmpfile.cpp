// Preloaded into `orvana` to stand for a file system without unnamed
// temporary files (NFS, CIFS, most FUSE mounts): opening with O_TMPFILE
// fails as it does there, so QSaveFile falls back to a named temporary
// beside its target, which a killed process leaves behind.
#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>

namespace {

using Open = int (*)(const char*, int, ...);

int openWithout(Open next, const char* path, int flags, va_list args) {
    if ((flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    const mode_t mode = (flags & O_CREAT) ? va_arg(args, mode_t) : 0;
    return next(path, flags, mode);
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    static const auto next = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "open"));
    va_list args;
    va_start(args, flags);
    const int fd = openWithout(next, path, flags, args);
    va_end(args);
    return fd;
}

int open64(const char* path, int flags, ...) {
    static const auto next = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "open64"));
    va_list args;
    va_start(args, flags);
    const int fd = openWithout(next, path, flags, args);
    va_end(args);
    return fd;
}

} // extern "C"
