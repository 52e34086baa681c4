#include "FaultVfs.h"

#include <cerrno>
#include <cstddef>
#include <ostream>
#include <stdexcept>

namespace bingo::test {

namespace {

// What SQLite allocates for each of our files: this header, then the default VFS's own file.
struct File {
    sqlite3_file base; // first, so SQLite's sqlite3_file* is a File*
    FaultVfs* owner;
    sqlite3_file* real;
};

constexpr std::size_t RealOffset = (sizeof(File) + 7) / 8 * 8;

File* self(sqlite3_file* file) {
    return reinterpret_cast<File*>(file);
}
sqlite3_file* real(sqlite3_file* file) {
    return self(file)->real;
}
const sqlite3_io_methods& realMethods(sqlite3_file* file) {
    return *real(file)->pMethods;
}
FaultVfs& ownerOf(sqlite3_vfs* vfs) {
    return *static_cast<FaultVfs*>(vfs->pAppData);
}
sqlite3_vfs* baseOf(sqlite3_vfs* vfs) {
    return ownerOf(vfs).base();
}

int fileClose(sqlite3_file* file) {
    return realMethods(file).xClose(real(file));
}
int fileRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    if (const int rc = self(file)->owner->onCall(Op::Read); rc != SQLITE_OK)
        return rc;
    return realMethods(file).xRead(real(file), buffer, amount, offset);
}
int fileWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    if (const int rc = self(file)->owner->onCall(Op::Write); rc != SQLITE_OK)
        return rc;
    return realMethods(file).xWrite(real(file), buffer, amount, offset);
}
int fileTruncate(sqlite3_file* file, sqlite3_int64 size) {
    return realMethods(file).xTruncate(real(file), size);
}
int fileSync(sqlite3_file* file, int flags) {
    if (const int rc = self(file)->owner->onCall(Op::Sync); rc != SQLITE_OK)
        return rc;
    return realMethods(file).xSync(real(file), flags);
}
int fileSize(sqlite3_file* file, sqlite3_int64* size) {
    return realMethods(file).xFileSize(real(file), size);
}
int fileLock(sqlite3_file* file, int level) {
    if (const int rc = self(file)->owner->onCall(Op::Lock); rc != SQLITE_OK)
        return rc;
    return realMethods(file).xLock(real(file), level);
}
int fileUnlock(sqlite3_file* file, int level) {
    return realMethods(file).xUnlock(real(file), level);
}
int fileCheckReservedLock(sqlite3_file* file, int* result) {
    return realMethods(file).xCheckReservedLock(real(file), result);
}
int fileControl(sqlite3_file* file, int op, void* arg) {
    return realMethods(file).xFileControl(real(file), op, arg);
}
int fileSectorSize(sqlite3_file* file) {
    return realMethods(file).xSectorSize(real(file));
}
int fileDeviceCharacteristics(sqlite3_file* file) {
    return realMethods(file).xDeviceCharacteristics(real(file));
}
int fileShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** memory) {
    return realMethods(file).xShmMap(real(file), region, size, extend, memory);
}
int fileShmLock(sqlite3_file* file, int offset, int n, int flags) {
    return realMethods(file).xShmLock(real(file), offset, n, flags);
}
void fileShmBarrier(sqlite3_file* file) {
    realMethods(file).xShmBarrier(real(file));
}
int fileShmUnmap(sqlite3_file* file, int deleteFlag) {
    return realMethods(file).xShmUnmap(real(file), deleteFlag);
}
int fileFetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** pointer) {
    return realMethods(file).xFetch(real(file), offset, amount, pointer);
}
int fileUnfetch(sqlite3_file* file, sqlite3_int64 offset, void* pointer) {
    return realMethods(file).xUnfetch(real(file), offset, pointer);
}

// One table per version, so SQLite asks only for what the wrapped file offers.
constexpr sqlite3_io_methods methodsOfVersion(int version) {
    return {version,
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
            version >= 2 ? fileShmMap : nullptr,
            version >= 2 ? fileShmLock : nullptr,
            version >= 2 ? fileShmBarrier : nullptr,
            version >= 2 ? fileShmUnmap : nullptr,
            version >= 3 ? fileFetch : nullptr,
            version >= 3 ? fileUnfetch : nullptr};
}
constexpr sqlite3_io_methods Methods1 = methodsOfVersion(1);
constexpr sqlite3_io_methods Methods2 = methodsOfVersion(2);
constexpr sqlite3_io_methods Methods3 = methodsOfVersion(3);

int vfsOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    sqlite3_vfs* base = baseOf(vfs);
    File* wrapper = self(file);
    // SQLite calls xClose whenever pMethods is set, even after a failed open.
    wrapper->base.pMethods = nullptr;
    if (const int rc = ownerOf(vfs).onCall(Op::Open); rc != SQLITE_OK)
        return rc;
    wrapper->owner = &ownerOf(vfs);
    wrapper->real = reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(file) + RealOffset);
    wrapper->real->pMethods = nullptr;
    const int rc = base->xOpen(base, name, wrapper->real, flags, outFlags);
    if (wrapper->real->pMethods != nullptr) {
        const int version = wrapper->real->pMethods->iVersion;
        wrapper->base.pMethods = version >= 3 ? &Methods3 : version == 2 ? &Methods2 : &Methods1;
    }
    return rc;
}
int vfsDelete(sqlite3_vfs* vfs, const char* name, int syncDir) {
    return baseOf(vfs)->xDelete(baseOf(vfs), name, syncDir);
}
int vfsAccess(sqlite3_vfs* vfs, const char* name, int flags, int* result) {
    return baseOf(vfs)->xAccess(baseOf(vfs), name, flags, result);
}
int vfsFullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out) {
    return baseOf(vfs)->xFullPathname(baseOf(vfs), name, size, out);
}
void* vfsDlOpen(sqlite3_vfs* vfs, const char* name) {
    return baseOf(vfs)->xDlOpen(baseOf(vfs), name);
}
void vfsDlError(sqlite3_vfs* vfs, int size, char* message) {
    baseOf(vfs)->xDlError(baseOf(vfs), size, message);
}
void (*vfsDlSym(sqlite3_vfs* vfs, void* handle, const char* symbol))(void) {
    return baseOf(vfs)->xDlSym(baseOf(vfs), handle, symbol);
}
void vfsDlClose(sqlite3_vfs* vfs, void* handle) {
    baseOf(vfs)->xDlClose(baseOf(vfs), handle);
}
int vfsRandomness(sqlite3_vfs* vfs, int size, char* out) {
    return baseOf(vfs)->xRandomness(baseOf(vfs), size, out);
}
int vfsSleep(sqlite3_vfs* vfs, int microseconds) {
    return baseOf(vfs)->xSleep(baseOf(vfs), microseconds);
}
int vfsCurrentTime(sqlite3_vfs* vfs, double* now) {
    return baseOf(vfs)->xCurrentTime(baseOf(vfs), now);
}
int vfsGetLastError(sqlite3_vfs* vfs, int size, char* out) {
    return baseOf(vfs)->xGetLastError(baseOf(vfs), size, out);
}
int vfsCurrentTimeInt64(sqlite3_vfs* vfs, sqlite3_int64* now) {
    return baseOf(vfs)->xCurrentTimeInt64(baseOf(vfs), now);
}

} // namespace

const char* opName(Op op) noexcept {
    switch (op) {
    case Op::Open:
        return "open";
    case Op::Read:
        return "read";
    case Op::Write:
        return "write";
    case Op::Sync:
        return "sync";
    case Op::Lock:
        return "lock";
    }
    return "?";
}

int ioErrorOf(Op op) noexcept {
    switch (op) {
    case Op::Open:
        return SQLITE_CANTOPEN;
    case Op::Read:
        return SQLITE_IOERR_READ;
    case Op::Write:
        return SQLITE_IOERR_WRITE;
    case Op::Sync:
        return SQLITE_IOERR_FSYNC;
    case Op::Lock:
        return SQLITE_IOERR_LOCK;
    }
    return SQLITE_IOERR;
}

void PrintTo(Op op, std::ostream* os) {
    *os << opName(op);
}

FaultVfs::FaultVfs(std::string name) : name_(std::move(name)), base_(sqlite3_vfs_find(nullptr)) {
    if (base_ == nullptr || base_->iVersion < 2)
        throw std::runtime_error("no default SQLite VFS of version 2 or later to wrap");
    vfs_.iVersion = 2;
    vfs_.szOsFile = static_cast<int>(RealOffset) + base_->szOsFile;
    vfs_.mxPathname = base_->mxPathname;
    vfs_.zName = name_.c_str();
    vfs_.pAppData = this;
    vfs_.xOpen = vfsOpen;
    vfs_.xDelete = vfsDelete;
    vfs_.xAccess = vfsAccess;
    vfs_.xFullPathname = vfsFullPathname;
    vfs_.xDlOpen = vfsDlOpen;
    vfs_.xDlError = vfsDlError;
    vfs_.xDlSym = vfsDlSym;
    vfs_.xDlClose = vfsDlClose;
    vfs_.xRandomness = vfsRandomness;
    vfs_.xSleep = vfsSleep;
    vfs_.xCurrentTime = vfsCurrentTime;
    vfs_.xGetLastError = vfsGetLastError;
    vfs_.xCurrentTimeInt64 = vfsCurrentTimeInt64;
    if (const int rc = sqlite3_vfs_register(&vfs_, 0); rc != SQLITE_OK)
        throw std::runtime_error(std::string("cannot register the VFS: ") + sqlite3_errstr(rc));
}

FaultVfs::~FaultVfs() {
    sqlite3_vfs_unregister(&vfs_);
}

void FaultVfs::arm(Op op, int k, int code, bool persistent) {
    armed_ = true;
    op_ = op;
    k_ = k;
    code_ = code;
    persistent_ = persistent;
    calls_.fill(0);
    injected_ = 0;
}

void FaultVfs::disarm() noexcept {
    armed_ = false;
}

int FaultVfs::calls(Op op) const noexcept {
    return calls_[static_cast<std::size_t>(op)];
}

int FaultVfs::onCall(Op op) noexcept {
    const int n = ++calls_[static_cast<std::size_t>(op)];
    if (!armed_ || op != op_ || n < k_ || (n > k_ && !persistent_))
        return SQLITE_OK;
    ++injected_;
    // A failing disk leaves its errno behind, and SQLite reports the errno it finds.
    errno = code_ == SQLITE_FULL ? ENOSPC : EIO;
    return code_;
}

} // namespace bingo::test
