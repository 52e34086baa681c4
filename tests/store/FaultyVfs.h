#pragma once

#include <array>
#include <sqlite3.h>

namespace bingo::store::test {

/// The file-system calls FaultyVfs can make fail.
enum class Call { Open, Read, Write, Sync, Lock };
inline constexpr std::array AllCalls{Call::Open, Call::Read, Call::Write, Call::Sync, Call::Lock};
const char* callName(Call call);

/// A SQLite VFS over the default one that fails the k-th call of one kind, once, with the
/// I/O error SQLite would get from a failing disk. Registered (not as the default) while alive.
class FaultyVfs {
  public:
    static constexpr const char* Name = "bingo-faulty";

    FaultyVfs();
    ~FaultyVfs();
    FaultyVfs(const FaultyVfs&) = delete;
    FaultyVfs& operator=(const FaultyVfs&) = delete;

    /// From now on, counts the calls of `call`; the k-th one (1-based) fails.
    void arm(Call call, int k);
    void disarm();
    /// Whether the armed fault has been injected.
    [[nodiscard]] bool fired() const { return fired_; }

    /// For the file methods: true when this call of `call` is to fail.
    bool failNow(Call call);
    [[nodiscard]] sqlite3_vfs* real() const { return real_; }

  private:
    sqlite3_vfs* real_;
    sqlite3_vfs vfs_{};
    bool armed_ = false;
    bool fired_ = false;
    Call call_ = Call::Read;
    int remaining_ = 0;
};

} // namespace bingo::store::test
