#pragma once

#include <filesystem>
#include <string>

namespace bingo::faults {

/// A small tmpfs mounted over a directory in a mount namespace of the calling thread's own,
/// so nothing outside the test sees it. Unmounted when the object dies.
class SmallDisk {
  public:
    /// Mounts size (a tmpfs size such as "256k") on dir; mounted() tells whether that worked.
    SmallDisk(std::filesystem::path dir, const std::string& size);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    [[nodiscard]] bool mounted() const noexcept { return mounted_; }
    /// Why the disk could not be mounted.
    [[nodiscard]] const std::string& reason() const noexcept { return reason_; }
    /// Gives the mounted disk a new size, keeping its files; false with reason() on failure.
    bool resize(const std::string& size);
    /// Remounts the disk read-only, keeping its files; false with reason() on failure.
    bool makeReadOnly();

  private:
    std::filesystem::path dir_;
    bool mounted_ = false;
    std::string reason_;
};

} // namespace bingo::faults
