#include "platform/fs/temporary_names.h"

#include <algorithm>
#include <random>

namespace vantrel {

namespace {

constexpr std::string_view kPrefix = ".vantrel-";
constexpr std::string_view kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr std::size_t kRandomLength = 12;

}  // namespace

std::string freshTemporaryName() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::string name(kPrefix);
    for (std::size_t i = 0; i < kRandomLength; ++i) {
        name += kDigits[random() % kDigits.size()];
    }
    return name;
}

bool isTemporaryName(std::string_view name) {
    if (!name.starts_with(kPrefix)) {
        return false;
    }
    const std::string_view rest = name.substr(kPrefix.size());
    const auto lowerOrDigit = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z');
    };
    const auto letterOrDigit = [&](char c) { return lowerOrDigit(c) || (c >= 'A' && c <= 'Z'); };
    if (rest.size() == kRandomLength) {
        return std::all_of(rest.begin(), rest.end(), lowerOrDigit);
    }
    return rest.size() == 6 && std::all_of(rest.begin(), rest.end(), letterOrDigit);
}

}  // namespace vantrel
