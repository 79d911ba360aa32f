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

int xClose(sqlite3_file* f) {
    return real(f)->pMethods->xClose(real(f));
}
int xRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
    return real(f)->pMethods->xRead(real(f), buffer, amount, offset);
}
int xWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    return full ? refuse() : real(f)->pMethods->xWrite(real(f), buffer, amount, offset);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    return full ? refuse() : real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file* f, int flags) {
    return real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) {
    return real(f)->pMethods->xFileSize(real(f), size);
}
int xLock(sqlite3_file* f, int level) {
    return real(f)->pMethods->xLock(real(f), level);
}
int xUnlock(sqlite3_file* f, int level) {
    return real(f)->pMethods->xUnlock(real(f), level);
}
int xCheckReservedLock(sqlite3_file* f, int* out) {
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int xFileControl(sqlite3_file* f, int op, void* arg) {
    // Growing the file ahead of writes is a write too.
    if (op == SQLITE_FCNTL_SIZE_HINT && full)
        return refuse();
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int xSectorSize(sqlite3_file* f) {
    return real(f)->pMethods->xSectorSize(real(f));
}
int xDeviceCharacteristics(sqlite3_file* f) {
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int xShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
    return real(f)->pMethods->xShmMap(real(f), region, size, extend, out);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void xShmBarrier(sqlite3_file* f) {
    real(f)->pMethods->xShmBarrier(real(f));
}
int xShmUnmap(sqlite3_file* f, int deleteFlag) {
    return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}
int xFetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out) {
    return real(f)->pMethods->xFetch(real(f), offset, amount, out);
}
int xUnfetch(sqlite3_file* f, sqlite3_int64 offset, void* p) {
    return real(f)->pMethods->xUnfetch(real(f), offset, p);
}

const sqlite3_io_methods methods = {
    3,
    xClose,
    xRead,
    xWrite,
    xTruncate,
    xSync,
    xFileSize,
    xLock,
    xUnlock,
    xCheckReservedLock,
    xFileControl,
    xSectorSize,
    xDeviceCharacteristics,
    xShmMap,
    xShmLock,
    xShmBarrier,
    xShmUnmap,
    xFetch,
    xUnfetch,
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
