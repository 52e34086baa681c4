#include "store/ScratchDirectory.h"

#include "AppTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>

namespace bingo::app::test {
namespace {

struct EnvCase {
    const char* name;
    std::optional<const char*> temp;     // relative to the scratch directory, "" for empty
    std::optional<const char*> xdgCache; // likewise; "relative" stays relative
    const char* expected;                // relative to the scratch directory
    bool created;
};

void PrintTo(const EnvCase& c, std::ostream* os) {
    *os << c.name;
}

class TempDirectory : public ::testing::TestWithParam<EnvCase> {
  protected:
    QTemporaryDir scratch_;
};

TEST_P(TempDirectory, ComesFromTempElseTheCacheDirectory) {
    const EnvCase& c = GetParam();
    ASSERT_TRUE(scratch_.isValid());
    const QString root = scratch_.path();
    const auto inScratch = [&](std::optional<const char*> value) -> std::optional<QByteArray> {
        if (!value)
            return std::nullopt;
        const QByteArray text(*value);
        if (text.isEmpty() || text == "relative")
            return text;
        return QFile::encodeName(root + u'/' + QString::fromUtf8(text));
    };
    const ScopedEnv temp("TEMP", inScratch(c.temp));
    const ScopedEnv xdg("XDG_CACHE_HOME", inScratch(c.xdgCache));
    const ScopedEnv home("HOME", QFile::encodeName(root + QStringLiteral("/home")));

    const QString expected = root + u'/' + QString::fromUtf8(c.expected);
    EXPECT_EQ(QFile::decodeName(store::scratchDirectory().c_str()), expected);
    EXPECT_EQ(QFileInfo(expected).isDir(), c.created);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, TempDirectory,
    ::testing::Values(
        // A missing TEMP directory is left for the job to report, not created.
        EnvCase{"TempIsUsedAsItIs", "temp dir", "cache", "temp dir", false},
        EnvCase{"EmptyTempFallsBackToXdgCache", "", "cache", "cache/bingo", true},
        EnvCase{"UnsetTempFallsBackToXdgCache", std::nullopt, "cache", "cache/bingo", true},
        EnvCase{"WithoutXdgCacheTheHomeCache", std::nullopt, std::nullopt, "home/.cache/bingo",
                true},
        EnvCase{"RelativeXdgCacheIsIgnored", "", "relative", "home/.cache/bingo", true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace bingo::app::test
