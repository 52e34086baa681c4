#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace bingo::test {

/// The bytes of a file ("" if it cannot be read).
[[nodiscard]] std::string fileBytes(const std::filesystem::path& file);
/// Replaces the file's contents with bytes.
void writeFile(const std::filesystem::path& file, const std::string& bytes);
/// "1" ... "count": the serials of a job's cards as the card table holds them.
[[nodiscard]] std::vector<std::string> serialsUpTo(int count);

} // namespace bingo::test
