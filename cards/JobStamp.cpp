#include "cards/JobStamp.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <string_view>

namespace bingo::cards {

namespace {

constexpr std::string_view Prefix = "bingo-job/1";

template <typename T>
bool readField(std::string_view text, std::string_view key, T& value, int base = 10) {
    const std::string needle = " " + std::string(key) + "=";
    const auto at = text.find(needle);
    if (at == std::string_view::npos)
        return false;
    const char* first = text.data() + at + needle.size();
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, base);
    return error == std::errc() && end != first && (end == last || *end == ' ');
}

} // namespace

void CardDigest::addWord(std::uint32_t word) noexcept {
    for (int i = 0; i < 4; ++i) {
        hash_ ^= (word >> (8 * i)) & 0xffu;
        hash_ *= 1099511628211ull;
    }
}

void CardDigest::add(const Card& card) noexcept {
    addWord(static_cast<std::uint32_t>(card.serial));
    for (const std::int32_t number : card.numbers)
        addWord(static_cast<std::uint32_t>(number));
}

std::string JobStamp::toText() const {
    char text[128];
    std::snprintf(text, sizeof text, "%s seed=%" PRIu32 " range=%d sheets=%d digest=%016" PRIx64,
                  Prefix.data(), seed, range, sheets, digest);
    return text;
}

std::optional<JobStamp> JobStamp::parse(const std::string& text) {
    const std::string_view view(text);
    if (view.substr(0, Prefix.size()) != Prefix)
        return std::nullopt;
    JobStamp stamp;
    if (!readField(view, "seed", stamp.seed) || !readField(view, "range", stamp.range) ||
        !readField(view, "sheets", stamp.sheets) || !readField(view, "digest", stamp.digest, 16))
        return std::nullopt;
    if (stamp.range < NumbersPerCard || stamp.range > 99 || stamp.sheets < 0 || stamp.sheets > 9999)
        return std::nullopt;
    return stamp;
}

} // namespace bingo::cards
