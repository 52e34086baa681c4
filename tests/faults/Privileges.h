#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace bingo::faults {

/// Runs the enclosed code as another user: a root test process gives up its effective ids
/// (and with them the permission override) and takes them back when the object dies.
class Privileges {
  public:
    struct User {
        uid_t uid;
        gid_t gid;
    };
    /// "nobody"/"nogroup", else 65534.
    [[nodiscard]] static User unprivilegedUser();

    /// Takes on user's effective ids when running as root; as another user nothing changes,
    /// as mode bits already apply. dropped() tells whether the code now runs unprivileged.
    [[nodiscard]] static Privileges dropTo(User user);
    ~Privileges();
    Privileges(Privileges&& other) noexcept;
    Privileges(const Privileges&) = delete;
    Privileges& operator=(const Privileges&) = delete;
    Privileges& operator=(Privileges&&) = delete;

    [[nodiscard]] bool dropped() const noexcept { return dropped_; }
    /// Why the ids could not be given up.
    [[nodiscard]] const std::string& reason() const noexcept { return reason_; }

  private:
    Privileges() = default;
    bool dropped_ = false;
    bool restore_ = false;
    std::vector<gid_t> groups_;
    std::string reason_;
};

} // namespace bingo::faults
