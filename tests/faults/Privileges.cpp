#include "Privileges.h"

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace bingo::faults {

Privileges::User Privileges::unprivilegedUser() {
    User user{65534, 65534};
    if (const passwd* pw = ::getpwnam("nobody"))
        user.uid = pw->pw_uid;
    if (const group* gr = ::getgrnam("nogroup"))
        user.gid = gr->gr_gid;
    return user;
}

Privileges Privileges::dropTo(User user) {
    Privileges p;
    if (::geteuid() != 0) {
        p.dropped_ = true;
        return p;
    }
    const int count = ::getgroups(0, nullptr);
    p.groups_.resize(static_cast<std::size_t>(count > 0 ? count : 0));
    if (count > 0 && ::getgroups(count, p.groups_.data()) != count)
        p.groups_.clear();
    // The groups first: once the user id is gone, they can no longer be changed. Root's own
    // supplementary groups must go too, or group permissions would still let it in.
    if (::setgroups(0, nullptr) != 0 || ::setegid(user.gid) != 0) {
        p.reason_ = std::string("cannot take on an unprivileged group (") + std::strerror(errno) +
                    "), and root ignores mode bits";
        (void)::setgroups(p.groups_.size(), p.groups_.data());
        return p;
    }
    if (::seteuid(user.uid) != 0) {
        p.reason_ = std::string("cannot take on an unprivileged user (") + std::strerror(errno) +
                    "), and root ignores mode bits";
        (void)::setegid(0);
        (void)::setgroups(p.groups_.size(), p.groups_.data());
        return p;
    }
    p.dropped_ = true;
    p.restore_ = true;
    return p;
}

Privileges::Privileges(Privileges&& other) noexcept
    : dropped_(other.dropped_), restore_(other.restore_), groups_(std::move(other.groups_)),
      reason_(std::move(other.reason_)) {
    other.restore_ = false;
}

Privileges::~Privileges() {
    if (restore_) {
        (void)::seteuid(0);
        (void)::setegid(0);
        (void)::setgroups(groups_.size(), groups_.data());
    }
}

} // namespace bingo::faults
