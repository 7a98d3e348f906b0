#include "platform/fs/temporary_names.h"

#include <algorithm>
#include <cstdint>
#include <random>

namespace vantrel {

namespace {

constexpr std::string_view kPrefix = ".vantrel-";
// Lower case only: Windows does not tell the cases of a name apart.
constexpr std::string_view kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr std::size_t kRandomLength = 16;
constexpr std::size_t kCheckLength = 8;

// FNV-1a over a key of this program and the random part, written as kCheckLength digits: one
// name in 36^8 that was not made here passes by chance.
std::string checkCode(std::string_view random) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : std::string_view("vantrel temporary file ")) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    for (const char c : random) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    std::string code(kCheckLength, '0');
    for (char& digit : code) {
        digit = kDigits[hash % kDigits.size()];
        hash /= kDigits.size();
    }
    return code;
}

}  // namespace

std::string freshTemporaryName() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::string part;
    for (std::size_t i = 0; i < kRandomLength; ++i) {
        part += kDigits[random() % kDigits.size()];
    }
    return std::string(kPrefix) + part + checkCode(part);
}

bool isTemporaryName(std::string_view name) {
    if (!name.starts_with(kPrefix) ||
        name.size() != kPrefix.size() + kRandomLength + kCheckLength) {
        return false;
    }
    const std::string_view random = name.substr(kPrefix.size(), kRandomLength);
    const bool digits = std::all_of(random.begin(), random.end(), [](char c) {
        return kDigits.find(c) != std::string_view::npos;
    });
    return digits && name.substr(kPrefix.size() + kRandomLength) == checkCode(random);
}

}  // namespace vantrel
