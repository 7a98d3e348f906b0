#include <windows.h>
#include <winver.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/utf16.h"
#include "support/expected.h"
#include "win32/resource_ids.h"

// The resources of the built program, read as a data file: its version information and its icon.
namespace vantrel::test {
namespace {

// The program as the build made it; under Wine the build's path is a Unix one.
std::wstring programPath() {
    const std::wstring built = toUtf16(VANTREL_PROGRAM);
    using DosName = wchar_t* (*)(const char*);
    const auto dosName = reinterpret_cast<DosName>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (dosName == nullptr || built.empty() || built[0] != L'/') {
        return built;
    }
    wchar_t* dos = dosName(VANTREL_PROGRAM);
    const std::wstring path = dos != nullptr ? dos : built;
    ::HeapFree(::GetProcessHeap(), 0, dos);
    return path;
}

class VersionInfo : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::wstring path = programPath();
        DWORD ignored = 0;
        const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
        ASSERT_NE(size, 0u) << "no version information in " << toUtf8(path) << ": "
                            << ::GetLastError();
        block.resize(size);
        ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    }

    std::string text(const std::string& name) const {
        wchar_t* value = nullptr;
        UINT length = 0;
        const std::wstring query = L"\\StringFileInfo\\040904B0\\" + toUtf16(name);
        if (!::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value),
                              &length) ||
            length == 0) {
            return "(none)";
        }
        // The length counts the terminating null.
        return toUtf8(std::wstring(value, length - 1));
    }

    std::vector<char> block;
};

TEST_F(VersionInfo, FixedPartIsVersionOneOfAWindowsApplication) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "no debug or pre-release flags";
}

TEST_F(VersionInfo, OneTranslationUSEnglishUnicode) {
    WORD* pairs = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&pairs), &length));
    ASSERT_EQ(length, 2 * sizeof(WORD));
    EXPECT_EQ(pairs[0], 0x0409);
    EXPECT_EQ(pairs[1], 1200);
}

// A block of the version information: its key and its children.
struct Block {
    std::wstring key;
    std::vector<Block> children;
};

// Walks the blocks as Windows lays them out: length, value length, type, the key, then the
// value and the children, each aligned to four bytes.
Block parse(const char* data, std::size_t size) {
    const auto word = [data](std::size_t at) {
        std::uint16_t value = 0;
        std::memcpy(&value, data + at, sizeof value);
        return value;
    };
    const auto align = [](std::size_t at) { return (at + 3) & ~std::size_t{3}; };
    Block block;
    const std::size_t length = std::min<std::size_t>(word(0), size);
    const std::size_t valueLength = word(2);
    const bool text = word(4) == 1;
    std::size_t at = 6;
    for (; at + 1 < length && word(at) != 0; at += 2) {
        block.key += static_cast<wchar_t>(word(at));
    }
    at = align(at + 2) + (text ? 2 * valueLength : valueLength);
    for (at = align(at); at + 6 <= length; at = align(at + word(at))) {
        if (word(at) == 0) {
            break;
        }
        block.children.push_back(parse(data + at, length - at));
    }
    return block;
}

std::vector<std::string> keysOf(const Block& block) {
    std::vector<std::string> keys;
    for (const Block& child : block.children) {
        keys.push_back(toUtf8(child.key));
    }
    return keys;
}

// Exactly one string table, U.S. English in Unicode, with exactly these strings.
TEST_F(VersionInfo, StringsAreTheProgramsNameAndVersion) {
    const Block root = parse(block.data(), block.size());
    ASSERT_EQ(toUtf8(root.key), "VS_VERSION_INFO");
    EXPECT_EQ(keysOf(root), (std::vector<std::string>{"StringFileInfo", "VarFileInfo"}));
    ASSERT_FALSE(root.children.empty());
    ASSERT_EQ(keysOf(root.children[0]), std::vector<std::string>{"040904B0"});

    const std::map<std::string, std::string> expected{
        {"ProductName", expected::kTitle},
        {"FileVersion", "1.00"},
        {"ProductVersion", "1.00"},
        {"InternalName", expected::kTitle},
        {"OriginalFilename", expected::kTitle + ".exe"},
    };
    std::vector<std::string> names;
    for (const auto& [name, value] : expected) {
        names.push_back(name);
        EXPECT_EQ(text(name), value) << name;
    }
    std::vector<std::string> present = keysOf(root.children[0].children.at(0));
    std::sort(present.begin(), present.end());
    EXPECT_EQ(present, names);
}

// The icon group holds the three images of resources/vantrel.ico, each there at its size.
TEST(ProgramIcon, GroupHoldsThreePaletteImages) {
    const std::wstring path = programPath();
    const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&::FreeLibrary)> program(
        ::LoadLibraryExW(path.c_str(), nullptr,
                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE),
        &::FreeLibrary);
    ASSERT_NE(program, nullptr) << toUtf8(path) << ": " << ::GetLastError();

    const auto bytesOf = [&program](LPCWSTR name, LPCWSTR type) -> std::vector<std::uint8_t> {
        const HRSRC found = ::FindResourceW(program.get(), name, type);
        if (found == nullptr) {
            return {};
        }
        const auto* data =
            static_cast<const std::uint8_t*>(::LockResource(::LoadResource(program.get(), found)));
        return {data, data + ::SizeofResource(program.get(), found)};
    };
    const auto word = [](const std::vector<std::uint8_t>& bytes, std::size_t at) {
        return static_cast<unsigned>(bytes.at(at) | bytes.at(at + 1) << 8);
    };
    const auto dword = [&word](const std::vector<std::uint8_t>& bytes, std::size_t at) {
        return word(bytes, at) | word(bytes, at + 2) << 16;
    };

    const std::vector<std::uint8_t> group = bytesOf(MAKEINTRESOURCEW(VANTREL_ICON), RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u) << "no icon group " << VANTREL_ICON;
    EXPECT_EQ(word(group, 0), 0u);
    EXPECT_EQ(word(group, 2), 1u);
    ASSERT_EQ(word(group, 4), 3u);
    ASSERT_EQ(group.size(), 6u + 3 * 14);

    const struct {
        unsigned size;
        unsigned colours;
        unsigned bits;
    } images[] = {{32, 2, 1}, {32, 16, 4}, {16, 16, 4}};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t entry = 6 + 14 * i;
        SCOPED_TRACE(::testing::Message()
                     << images[i].size << " px, " << images[i].colours << " colours");
        EXPECT_EQ(group[entry], images[i].size);
        EXPECT_EQ(group[entry + 1], images[i].size);
        EXPECT_EQ(group[entry + 2], images[i].colours);
        EXPECT_EQ(word(group, entry + 4), 1u);
        EXPECT_EQ(word(group, entry + 6), images[i].bits);

        const unsigned id = word(group, entry + 12);
        const std::vector<std::uint8_t> image = bytesOf(MAKEINTRESOURCEW(id), RT_ICON);
        ASSERT_EQ(image.size(), dword(group, entry + 8)) << "icon " << id;
        ASSERT_GE(image.size(), 40u);
        EXPECT_EQ(dword(image, 4), images[i].size);
        EXPECT_EQ(dword(image, 8), 2 * images[i].size);
        EXPECT_EQ(word(image, 14), images[i].bits);
    }
}

}  // namespace
}  // namespace vantrel::test
