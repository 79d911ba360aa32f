#pragma once

namespace orvana::test {

// A disk that fills up on demand: for its lifetime this is SQLite's default
// file layer (the unix one underneath), so stores opened meanwhile use it;
// while `setFull(true)`, every write and truncation fails with SQLITE_FULL
// ("database or disk is full"), as when no space is left. Reads always work.
// One at a time; destroy it only after the stores opened through it.
class FullDisk {
public:
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    void setFull(bool full);
    // Writes refused since the disk was last made full.
    int refusedWrites() const;
};

} // namespace orvana::test
