#include "support/real_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#endif

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>
#include <thread>

#include <gtest/gtest.h>

#include "replication/replication_run.h"

namespace vantrel::test {

namespace fs = std::filesystem;

std::string join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == kSeparator) {
        return folder + name;
    }
    return folder + kSeparator + name;
}

fs::path toPath(const std::string& path) {
#ifdef _WIN32
    return fs::path(std::u8string(path.begin(), path.end()));
#else
    return fs::path(path);
#endif
}

std::string fromPath(const fs::path& path) {
#ifdef _WIN32
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.string();
#endif
}

TempFolder::TempFolder() {
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    thread_local std::mt19937_64 random{std::random_device{}()};
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "vantrel-test-";
        for (int i = 0; i < 8; ++i) {
            name += kDigits[random() % (sizeof kDigits - 1)];
        }
        if (fs::create_directory(base / name)) {
            fs::permissions(base / name, fs::perms::owner_all);
            path_ = fromPath(base / name);
            return;
        }
    }
    throw std::runtime_error("no fresh folder in " + fromPath(base));
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (fs::remove_all(toPath(path_), ignored) != static_cast<std::uintmax_t>(-1)) {
        return;
    }
    // A read-only file cannot be removed on Windows.
    for (fs::recursive_directory_iterator entry(toPath(path_), ignored), end;
         !ignored && entry != end; entry.increment(ignored)) {
        fs::permissions(entry->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
    }
    fs::remove_all(toPath(path_), ignored);
}

std::string readFile(const std::string& path) {
    std::ifstream in(toPath(path), std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::string content;
    std::error_code unknownSize;
    const auto size = fs::file_size(toPath(path), unknownSize);
    if (!unknownSize) {
        content.reserve(size);
    }
    std::vector<char> buffer(1 << 20);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
        content.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
    }
    return content;
}

void writeFile(const std::string& path, const std::string& content, unsigned mode) {
    std::ofstream out(toPath(path), std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    std::error_code error;
    fs::permissions(toPath(path), static_cast<fs::perms>(mode), error);
    if (!out || error) {
        throw std::runtime_error("cannot write " + path);
    }
}

void setPermissions(const std::string& path, unsigned mode) {
    fs::permissions(toPath(path), static_cast<fs::perms>(mode));
}

void makeFolder(const std::string& path) {
    if (!fs::create_directory(toPath(path))) {
        throw std::runtime_error("already there: " + path);
    }
}

void removeFile(const std::string& path) {
    if (!fs::remove(toPath(path))) {
        throw std::runtime_error("not there: " + path);
    }
}

std::string patterned(std::size_t size, char seed) {
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        content[i] = static_cast<char>((i % 251) + (i / 4096) + static_cast<unsigned char>(seed));
    }
    return content;
}

unsigned permissionsOf(const std::string& path) {
    return static_cast<unsigned>(fs::status(toPath(path)).permissions() & fs::perms::mask);
}

unsigned shownPermissions(unsigned mode) {
#ifdef _WIN32
    return (mode & 0200) != 0 ? 0666 : 0444;
#else
    return mode;
#endif
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(toPath(folder))) {
        names.push_back(fromPath(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string systemText(unsigned long code) {
#ifdef _WIN32
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length == 0 ? std::string() : fromPath(std::wstring(buffer, length));
    ::LocalFree(buffer);
#else
    std::string text = std::strerror(static_cast<int>(code));
#endif
    text.erase(text.find_last_not_of(" \r\n") + 1);
    return text;
}

HeldOpen::HeldOpen(const std::string& path) {
#ifdef _WIN32
    const HANDLE file = ::CreateFileW(toPath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot hold " + path + " open");
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
#else
    handle_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle_ < 0 || ::flock(static_cast<int>(handle_), LOCK_EX) != 0) {
        throw std::runtime_error("cannot lock " + path + ": " + std::strerror(errno));
    }
#endif
}

HeldOpen::~HeldOpen() {
#ifdef _WIN32
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
#else
    ::close(static_cast<int>(handle_));
#endif
}

Unreadable::Unreadable(const std::string& path) {
#ifdef _WIN32
    held_ = std::make_unique<HeldOpen>(path);
#else
    fs::permissions(toPath(path), fs::perms::none);
#endif
}

std::string Unreadable::reason() const {
#ifdef _WIN32
    return systemText(ERROR_SHARING_VIOLATION);
#else
    return systemText(EACCES);
#endif
}

bool underWine() {
#ifdef _WIN32
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

void asOrdinaryUser(const std::function<void()>& action) {
#ifdef _WIN32
    try {
        action();
    } catch (const std::exception& error) {
        ADD_FAILURE() << "raised: " << error.what();
    }
#else
    // Capabilities belong to the calling thread alone.
    std::thread thread([&] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct capabilities[_LINUX_CAPABILITY_U32S_3]{};
        ASSERT_EQ(::syscall(SYS_capget, &header, capabilities), 0);
        for (auto& set : capabilities) {
            set.effective = 0;
        }
        ASSERT_EQ(::syscall(SYS_capset, &header, capabilities), 0);
        try {
            action();
        } catch (const std::exception& error) {
            ADD_FAILURE() << "raised: " << error.what();
        }
    });
    thread.join();
#endif
}

int numberOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const Failure& failure) {
        return failure.number();
    }
    ADD_FAILURE() << "no failure raised";
    return 0;
}

std::string besideThisProgram(const std::string& name) {
#ifdef _WIN32
    std::wstring self(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()))) ==
           self.size()) {
        self.resize(self.size() * 2);
    }
    self.resize(length);
    return fromPath(fs::path(self).parent_path() / toPath(name + ".exe"));
#else
    return fromPath(fs::read_symlink("/proc/self/exe").parent_path() / name);
#endif
}

bool endsKilled(const std::string& program, const std::vector<std::string>& arguments) {
#ifdef _WIN32
    std::wstring commandLine = L"\"" + toPath(program).wstring() + L"\"";
    for (const auto& argument : arguments) {
        commandLine += L" \"" + toPath(argument).wstring() + L"\"";
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(toPath(program).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &process)) {
        throw std::runtime_error("cannot start " + program);
    }
    ::CloseHandle(process.hThread);
    DWORD code = 0;
    const bool ended = ::WaitForSingleObject(process.hProcess, 60 * 1000) == WAIT_OBJECT_0 &&
                       ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hProcess);
    return ended && code == 9;
#else
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    }
    if (child == 0) {
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child) {
        throw std::runtime_error(std::string("waitpid: ") + std::strerror(errno));
    }
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
#endif
}

namespace {

Conventions conventionsWithLogIn(const std::string& logFolder) {
#ifdef _WIN32
    Conventions conventions = Conventions::windows();
    conventions.logPath = join(logFolder, "Log.txt");
    conventions.openLog.arguments = {conventions.logPath};
    return conventions;
#else
    return Conventions::posix(logFolder);
#endif
}

}  // namespace

RealRun::RealRun(const std::string& logFolder, const std::string& destination,
                 RealFileSystem::Options options)
    : conventions(conventionsWithLogIn(logFolder)),
      fs(std::move(options)),
      services{messageBox, fs, launcher, conventions, painter, waiter} {
    saveTo.text_ = destination;
}

void RealRun::click() {
    ReplicateBtn_Click(controls, services);
}

}  // namespace vantrel::test
