#include "support/FullDisk.h"

#include <sqlite3.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace orvana::test {

namespace {

sqlite3_vfs* underlying = nullptr;
sqlite3_vfs faulty{};
std::atomic<bool> full{false};
std::atomic<int> refused{0};

// Our file: the underlying file follows right behind this header.
struct File {
    sqlite3_file base;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

sqlite3_file* real(sqlite3_file* f) {
    return reinterpret_cast<File*>(f)->real();
}

int refuse() {
    ++refused;
    return SQLITE_FULL;
}

// Hands a call to the underlying file's method of the same slot.
template <auto Method> struct Forward;
template <typename R, typename... Args, R (*sqlite3_io_methods::*Method)(sqlite3_file*, Args...)>
struct Forward<Method> {
    static R call(sqlite3_file* f, Args... args) {
        return (real(f)->pMethods->*Method)(real(f), args...);
    }
};
template <auto Method> constexpr auto forward = Forward<Method>::call;

int xWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    return full ? refuse() : forward<&sqlite3_io_methods::xWrite>(f, buffer, amount, offset);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    return full ? refuse() : forward<&sqlite3_io_methods::xTruncate>(f, size);
}
int xFileControl(sqlite3_file* f, int op, void* arg) {
    // Growing the file ahead of writes is a write too.
    if (op == SQLITE_FCNTL_SIZE_HINT && full)
        return refuse();
    return forward<&sqlite3_io_methods::xFileControl>(f, op, arg);
}

using M = sqlite3_io_methods;
const sqlite3_io_methods methods = {
    3,
    forward<&M::xClose>,
    forward<&M::xRead>,
    xWrite,
    xTruncate,
    forward<&M::xSync>,
    forward<&M::xFileSize>,
    forward<&M::xLock>,
    forward<&M::xUnlock>,
    forward<&M::xCheckReservedLock>,
    xFileControl,
    forward<&M::xSectorSize>,
    forward<&M::xDeviceCharacteristics>,
    forward<&M::xShmMap>,
    forward<&M::xShmLock>,
    forward<&M::xShmBarrier>,
    forward<&M::xShmUnmap>,
    forward<&M::xFetch>,
    forward<&M::xUnfetch>,
};

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<File*>(f);
    file->base.pMethods = nullptr;
    const int rc = underlying->xOpen(underlying, name, file->real(), flags, outFlags);
    if (rc == SQLITE_OK && file->real()->pMethods)
        file->base.pMethods = &methods;
    return rc;
}

} // namespace

FullDisk::FullDisk() {
    underlying = sqlite3_vfs_find(nullptr);
    faulty = *underlying;
    faulty.zName = "orvana-full-disk";
    faulty.szOsFile = int(sizeof(File)) + underlying->szOsFile;
    faulty.pNext = nullptr;
    faulty.xOpen = xOpen;
    full = false;
    refused = 0;
    if (sqlite3_vfs_register(&faulty, /*makeDefault=*/1) != SQLITE_OK)
        std::abort();
}

FullDisk::~FullDisk() {
    sqlite3_vfs_unregister(&faulty);
    sqlite3_vfs_register(underlying, /*makeDefault=*/1);
}

void FullDisk::setFull(bool on) {
    if (on)
        refused = 0;
    full = on;
}

int FullDisk::refusedWrites() const {
    return refused;
}

} // namespace orvana::test
