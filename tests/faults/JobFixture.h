#pragma once

#include "app/Session.h"
#include "app/TfmBingo.h"
#include "report/rpBingo.h"
#include "store/Sqlite.h"
#include "support/TestFiles.h"

#include <QString>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bingo::faults {

/// The error boxes a command showed, as the operator read them: title and text.
struct Shown {
    QString title;
    QString text;
};

/// A fresh temporary directory per test, the environment the main window reads at creation,
/// and the main window itself, whose error boxes are recorded instead of shown.
class JobFixture : public ::testing::Test {
  protected:
    JobFixture();
    ~JobFixture() override;

    /// Sets (or, with nullopt, unsets) an environment variable until the test ends. Only
    /// before window(): the window reads its environment once, when it is created.
    void setEnv(const char* name, const std::optional<std::string>& value);

    /// The main window, created on first use (TEMP is dir_ / "temp" unless set otherwise),
    /// with the report qr1 whose preview ends each job, as at start-up.
    app::TfmBingo& window();
    /// The session's card table tbTmp, which the window drives (creates the window first).
    store::CardTable& table();
    /// dir_ / "temp", the default TEMP, created.
    [[nodiscard]] std::filesystem::path temp() const { return dir_ / "temp"; }
    [[nodiscard]] std::filesystem::path tableFile() const { return temp() / "tmpBingo.db"; }

    /// A Print click with N and S in the fields, as the operator makes it, then the preview's
    /// layout until it ends, and the preview closed; returns the texts of the error boxes
    /// shown meanwhile, in UTF-8 (none for a job that went through).
    std::vector<std::string> print(int sheets, int numbers = 50);
    /// Whether the last print() ended in a preview whose layout was complete.
    [[nodiscard]] bool previewWasComplete() const { return previewComplete_; }

    std::filesystem::path dir_;
    std::vector<Shown> shown_;

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> savedEnv_;
    std::unique_ptr<app::Session> session_;
    std::unique_ptr<app::TfmBingo> window_;
    // After the window: the report reads the window's table and goes first.
    std::unique_ptr<report::Tqr1> qr1_;
    bool previewComplete_ = false;
};

/// Where the tests make their directories: a memory file system when there is one, as the
/// jobs sync their files thousands of times, else the system's temporary directory.
[[nodiscard]] std::filesystem::path scratchRoot();
/// A new empty directory under scratchRoot() for the running test: prefix, the test's name and
/// the process id, so that parallel runs do not meet.
[[nodiscard]] std::filesystem::path scratchDirOfThisTest(const std::string& prefix);

/// A connection of another program to a card table file, by the default VFS.
[[nodiscard]] store::detail::Database connectTo(const std::filesystem::path& file);
/// The first column of every row of sql, as text.
[[nodiscard]] std::vector<std::string> column(const std::filesystem::path& file,
                                              const std::string& sql);
/// "ok" for a sound database file.
[[nodiscard]] std::string integrityOf(const std::filesystem::path& file);
/// The serials ("S0") of the table in record order.
[[nodiscard]] std::vector<std::string> serialsOf(const std::filesystem::path& file);

using bingo::test::fileBytes;
using bingo::test::serialsUpTo;
using bingo::test::writeFile;
/// A path as the program's messages spell it.
[[nodiscard]] std::string pathText(const std::filesystem::path& path);
/// No error box.
inline const std::vector<std::string> NoMessage;

} // namespace bingo::faults
