#include <windows.h>
#include <winver.h>

#include <objbase.h>

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
        {"CompanyName", "The Vantrel developers"},
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

// The application manifest, read back as the system reads it before the program starts: an
// activation context made from resource 1 of type 24 of the program.
class Manifest : public ::testing::Test {
  protected:
    void SetUp() override {
        ACTCTXW request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = path.c_str();
        request.lpResourceName = MAKEINTRESOURCEW(VANTREL_MANIFEST);
        context = ::CreateActCtxW(&request);
        ASSERT_NE(context, INVALID_HANDLE_VALUE)
            << "no manifest the system takes in " << toUtf8(path) << ": " << ::GetLastError();
    }
    void TearDown() override {
        if (context != INVALID_HANDLE_VALUE) {
            ::ReleaseActCtx(context);
        }
    }

    std::vector<char> query(ULONG what) const {
        SIZE_T size = 0;
        ::QueryActCtxW(0, context, nullptr, what, nullptr, 0, &size);
        std::vector<char> answer(size);
        if (size == 0 || !::QueryActCtxW(0, context, nullptr, what, answer.data(), size, &size)) {
            return {};
        }
        return answer;
    }

    const std::wstring path = programPath();
    HANDLE context = INVALID_HANDLE_VALUE;
};

TEST_F(Manifest, RunsAsTheUserWhoStartsIt) {
    const std::vector<char> answer = query(RunlevelInformationInActivationContext);
    ASSERT_GE(answer.size(), sizeof(ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION));
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level;
    std::memcpy(&level, answer.data(), sizeof level);
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(level.UiAccess, 0u);
}

// Each element is the system's id and its kind; newer systems add a field after these two, so
// the elements are found by their ids rather than by a fixed stride.
TEST_F(Manifest, SupportsWindows7To11) {
    const std::vector<char> answer = query(CompatibilityInformationInActivationContext);
    ASSERT_GE(answer.size(), sizeof(DWORD));
    DWORD count = 0;
    std::memcpy(&count, answer.data(), sizeof count);
    EXPECT_EQ(count, 4u);
    const wchar_t* systems[] = {
        L"{35138B9A-5D96-4FBD-8E2D-A2440225F93A}",  // 7
        L"{4A2F28E3-53B9-4441-BA9C-D69D4A4A6E38}",  // 8
        L"{1F676C76-80E1-4239-95BB-83D0F6D0DA78}",  // 8.1
        L"{8E0F7A12-BFB3-4FE8-B9A5-48FD50A15A9A}",  // 10 and 11
    };
    for (const wchar_t* system : systems) {
        SCOPED_TRACE(toUtf8(system));
        GUID id;
        ASSERT_EQ(::IIDFromString(system, &id), S_OK);
        const char* bytes = reinterpret_cast<const char*>(&id);
        const auto found = std::search(answer.begin(), answer.end(), bytes, bytes + sizeof id);
        ASSERT_LE(found + sizeof id + sizeof(DWORD), answer.end()) << "not supported";
        DWORD kind = 0;
        std::memcpy(&kind, &*(found + sizeof id), sizeof kind);
        EXPECT_EQ(kind, static_cast<DWORD>(ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS));
    }
}

TEST_F(Manifest, IsAwareOfEachMonitorsDpiWithTheSystemsDpiAsFallback) {
    const struct {
        const wchar_t* space;
        const wchar_t* name;
        std::string value;
    } settings[] = {
        {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness", "PerMonitorV2"},
        {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", "true"},
    };
    for (const auto& setting : settings) {
        SCOPED_TRACE(toUtf8(setting.name));
        wchar_t value[64] = {};
        SIZE_T written = 0;
        ASSERT_TRUE(
            ::QueryActCtxSettingsW(0, context, setting.space, setting.name, value, 64, &written))
            << ::GetLastError();
        EXPECT_EQ(toUtf8(value), setting.value);
    }
}

// The classic controls the fixed layout is drawn for: no dependency on Common Controls 6.
TEST_F(Manifest, NamesNoOtherAssembly) {
    const std::vector<char> answer = query(ActivationContextDetailedInformation);
    ASSERT_GE(answer.size(), sizeof(ACTIVATION_CONTEXT_DETAILED_INFORMATION));
    ACTIVATION_CONTEXT_DETAILED_INFORMATION details;
    std::memcpy(&details, answer.data(), sizeof details);
    EXPECT_EQ(details.ulAssemblyCount, 1u) << "the program's own, and no other";
}

}  // namespace
}  // namespace vantrel::test
