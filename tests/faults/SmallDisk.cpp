#include "SmallDisk.h"

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>

namespace bingo::faults {

namespace {

std::string failure(const char* what) {
    return std::string(what) + " failed (" + std::strerror(errno) + ")";
}

} // namespace

SmallDisk::SmallDisk(std::filesystem::path dir, const std::string& size) : dir_(std::move(dir)) {
    // A namespace of this thread's own, whose mounts do not propagate back to the system's.
    if (::unshare(CLONE_NEWNS) != 0) {
        reason_ = failure("unshare(CLONE_NEWNS)") + ", so no disk can be mounted for the test";
        return;
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        reason_ = failure("making the mounts private");
        return;
    }
    const std::string options = "size=" + size + ",mode=0755";
    if (::mount("bingo-small-disk", dir_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) !=
        0) {
        reason_ = failure("mount -t tmpfs");
        return;
    }
    mounted_ = true;
}

SmallDisk::~SmallDisk() {
    if (mounted_)
        ::umount2(dir_.c_str(), MNT_DETACH);
}

bool SmallDisk::resize(const std::string& size) {
    const std::string options = "size=" + size;
    if (::mount(nullptr, dir_.c_str(), nullptr, MS_REMOUNT | MS_NOSUID | MS_NODEV,
                options.c_str()) != 0) {
        reason_ = failure("remounting with a new size");
        return false;
    }
    return true;
}

bool SmallDisk::makeReadOnly() {
    if (::mount(nullptr, dir_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV,
                nullptr) != 0) {
        reason_ = failure("remounting read-only");
        return false;
    }
    return true;
}

} // namespace bingo::faults
