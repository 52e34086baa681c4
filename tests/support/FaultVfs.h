#pragma once

#include <array>
#include <iosfwd>
#include <sqlite3.h>
#include <string>

namespace bingo::test {

/// The file operations a FaultVfs can make fail.
enum class Op { Open, Read, Write, Sync, Lock };
inline constexpr std::array<Op, 5> AllOps{Op::Open, Op::Read, Op::Write, Op::Sync, Op::Lock};
[[nodiscard]] const char* opName(Op op) noexcept;
/// The error SQLite gets when a failing disk fails op: SQLITE_CANTOPEN or an SQLITE_IOERR_*.
[[nodiscard]] int ioErrorOf(Op op) noexcept;
/// GoogleTest shows an Op by its name.
void PrintTo(Op op, std::ostream* os);

/// A SQLite VFS that wraps the default one and fails chosen calls of it and of the files opened
/// through it, the way SQLite's own I/O error tests do. Registered (not as the default) for as
/// long as the object lives; not thread-safe.
class FaultVfs {
  public:
    explicit FaultVfs(std::string name);
    ~FaultVfs();
    FaultVfs(const FaultVfs&) = delete;
    FaultVfs& operator=(const FaultVfs&) = delete;

    [[nodiscard]] const std::string& name() const noexcept { return name_; }
    /// The VFS it wraps.
    [[nodiscard]] sqlite3_vfs* base() const noexcept { return base_; }

    /// Starts counting afresh: call k (1-based) of op fails with code, and with persistent every
    /// later call of op as well (a disk that has gone bad rather than a passing glitch).
    void arm(Op op, int k, int code, bool persistent);
    /// No more faults; the counters keep running.
    void disarm() noexcept;
    /// How many calls of op were made since the last arm().
    [[nodiscard]] int calls(Op op) const noexcept;
    /// How many faults were injected since the last arm().
    [[nodiscard]] int injected() const noexcept { return injected_; }

    /// Used by the VFS and its files: counts a call of op; returns the code it must fail with,
    /// or SQLITE_OK to let it through.
    [[nodiscard]] int onCall(Op op) noexcept;

  private:
    std::string name_;
    sqlite3_vfs* base_;
    sqlite3_vfs vfs_{};
    bool armed_ = false;
    Op op_ = Op::Read;
    int k_ = 0;
    int code_ = SQLITE_OK;
    bool persistent_ = false;
    std::array<int, AllOps.size()> calls_{};
    int injected_ = 0;
};

} // namespace bingo::test
