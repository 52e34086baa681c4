#include "TestFiles.h"

#include <fstream>
#include <iterator>

namespace bingo::test {

std::string fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> serialsUpTo(int count) {
    std::vector<std::string> serials;
    for (int serial = 1; serial <= count; ++serial)
        serials.push_back(std::to_string(serial));
    return serials;
}

} // namespace bingo::test
