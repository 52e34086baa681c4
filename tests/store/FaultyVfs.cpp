#include "FaultyVfs.h"

#include <stdexcept>

namespace bingo::store::test {
namespace {

// Our file object, with the default VFS's own file object right behind it.
struct FaultyFile {
    sqlite3_file base;
    FaultyVfs* owner;
    sqlite3_file* real;
};

FaultyFile& self(sqlite3_file* file) {
    return *reinterpret_cast<FaultyFile*>(file);
}
const sqlite3_io_methods& realMethods(sqlite3_file* file) {
    return *self(file).real->pMethods;
}
FaultyVfs& owner(sqlite3_vfs* vfs) {
    return *static_cast<FaultyVfs*>(vfs->pAppData);
}

int fileClose(sqlite3_file* file) {
    return realMethods(file).xClose(self(file).real);
}

int fileRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    if (self(file).owner->failNow(Call::Read))
        return SQLITE_IOERR_READ;
    return realMethods(file).xRead(self(file).real, buffer, amount, offset);
}

int fileWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    if (self(file).owner->failNow(Call::Write))
        return SQLITE_IOERR_WRITE;
    return realMethods(file).xWrite(self(file).real, buffer, amount, offset);
}

int fileTruncate(sqlite3_file* file, sqlite3_int64 size) {
    return realMethods(file).xTruncate(self(file).real, size);
}

int fileSync(sqlite3_file* file, int flags) {
    if (self(file).owner->failNow(Call::Sync))
        return SQLITE_IOERR_FSYNC;
    return realMethods(file).xSync(self(file).real, flags);
}

int fileSize(sqlite3_file* file, sqlite3_int64* size) {
    return realMethods(file).xFileSize(self(file).real, size);
}

int fileLock(sqlite3_file* file, int level) {
    if (self(file).owner->failNow(Call::Lock))
        return SQLITE_IOERR_LOCK;
    return realMethods(file).xLock(self(file).real, level);
}

int fileUnlock(sqlite3_file* file, int level) {
    return realMethods(file).xUnlock(self(file).real, level);
}

int fileCheckReservedLock(sqlite3_file* file, int* reserved) {
    return realMethods(file).xCheckReservedLock(self(file).real, reserved);
}

int fileControl(sqlite3_file* file, int op, void* arg) {
    return realMethods(file).xFileControl(self(file).real, op, arg);
}

int fileSectorSize(sqlite3_file* file) {
    return realMethods(file).xSectorSize(self(file).real);
}

int fileDeviceCharacteristics(sqlite3_file* file) {
    return realMethods(file).xDeviceCharacteristics(self(file).real);
}

// Version 1: no shared memory (so no WAL) and no memory mapping, which the card table
// does not use anyway.
const sqlite3_io_methods faultyMethods = {
    1,
    fileClose,
    fileRead,
    fileWrite,
    fileTruncate,
    fileSync,
    fileSize,
    fileLock,
    fileUnlock,
    fileCheckReservedLock,
    fileControl,
    fileSectorSize,
    fileDeviceCharacteristics,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

int vfsOpen(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    FaultyVfs& faulty = owner(vfs);
    FaultyFile& ours = self(file);
    ours.base.pMethods = nullptr; // SQLite calls no xClose on a file whose open failed
    if (faulty.failNow(Call::Open))
        return SQLITE_CANTOPEN;
    ours.owner = &faulty;
    ours.real = reinterpret_cast<sqlite3_file*>(&ours + 1);
    const int rc = faulty.real()->xOpen(faulty.real(), name, ours.real, flags, outFlags);
    if (ours.real->pMethods != nullptr)
        ours.base.pMethods = &faultyMethods;
    return rc;
}

int vfsDelete(sqlite3_vfs* vfs, const char* name, int syncDir) {
    return owner(vfs).real()->xDelete(owner(vfs).real(), name, syncDir);
}

int vfsAccess(sqlite3_vfs* vfs, const char* name, int flags, int* result) {
    return owner(vfs).real()->xAccess(owner(vfs).real(), name, flags, result);
}

int vfsFullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out) {
    return owner(vfs).real()->xFullPathname(owner(vfs).real(), name, size, out);
}

int vfsRandomness(sqlite3_vfs* vfs, int size, char* out) {
    return owner(vfs).real()->xRandomness(owner(vfs).real(), size, out);
}

int vfsSleep(sqlite3_vfs* vfs, int microseconds) {
    return owner(vfs).real()->xSleep(owner(vfs).real(), microseconds);
}

int vfsCurrentTime(sqlite3_vfs* vfs, double* now) {
    return owner(vfs).real()->xCurrentTime(owner(vfs).real(), now);
}

int vfsGetLastError(sqlite3_vfs* vfs, int size, char* out) {
    return owner(vfs).real()->xGetLastError(owner(vfs).real(), size, out);
}

int vfsCurrentTimeInt64(sqlite3_vfs* vfs, sqlite3_int64* now) {
    return owner(vfs).real()->xCurrentTimeInt64(owner(vfs).real(), now);
}

} // namespace

const char* callName(Call call) {
    switch (call) {
    case Call::Open:
        return "open";
    case Call::Read:
        return "read";
    case Call::Write:
        return "write";
    case Call::Sync:
        return "sync";
    case Call::Lock:
        return "lock";
    }
    return "?";
}

FaultyVfs::FaultyVfs() : real_(sqlite3_vfs_find(nullptr)) {
    if (real_ == nullptr || real_->iVersion < 2)
        throw std::runtime_error("no default SQLite VFS to wrap");
    vfs_.iVersion = 2;
    vfs_.szOsFile = static_cast<int>(sizeof(FaultyFile)) + real_->szOsFile;
    vfs_.mxPathname = real_->mxPathname;
    vfs_.zName = Name;
    vfs_.pAppData = this;
    vfs_.xOpen = vfsOpen;
    vfs_.xDelete = vfsDelete;
    vfs_.xAccess = vfsAccess;
    vfs_.xFullPathname = vfsFullPathname;
    vfs_.xRandomness = vfsRandomness;
    vfs_.xSleep = vfsSleep;
    vfs_.xCurrentTime = vfsCurrentTime;
    vfs_.xGetLastError = vfsGetLastError;
    vfs_.xCurrentTimeInt64 = vfsCurrentTimeInt64;
    if (sqlite3_vfs_register(&vfs_, 0) != SQLITE_OK)
        throw std::runtime_error("cannot register the faulty SQLite VFS");
}

FaultyVfs::~FaultyVfs() {
    sqlite3_vfs_unregister(&vfs_);
}

void FaultyVfs::arm(Call call, int k) {
    armed_ = true;
    fired_ = false;
    call_ = call;
    remaining_ = k;
}

void FaultyVfs::disarm() {
    armed_ = false;
}

bool FaultyVfs::failNow(Call call) {
    if (!armed_ || call != call_ || --remaining_ != 0)
        return false;
    armed_ = false;
    fired_ = true;
    return true;
}

} // namespace bingo::store::test
