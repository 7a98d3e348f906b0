#include "tests/platform/real_folder.h"

#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <thread>

#include <gtest/gtest.h>

#include "platform/failure.h"
#include "replication/replication_run.h"

namespace vantrel::testing {

namespace {

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool writeProcFile(const std::string& path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

// Entered once per process; empty when the process may mount, else the reason.
const std::string& privateMountNamespace() {
    static const std::string whyNot = []() -> std::string {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWNS) != 0) {
            if (errno != EPERM) {
                return systemError("unshare(CLONE_NEWNS)");
            }
            if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
                return systemError("no right to mount, and no user namespace either: unshare");
            }
            if (!writeProcFile("/proc/self/setgroups", "deny") ||
                !writeProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
                !writeProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
                return "could not map the user into the user namespace";
            }
        }
        if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            return systemError("making the mounts private");
        }
        return {};
    }();
    return whyNot;
}

}  // namespace

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error(systemError("mkdtemp " + pattern));
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::string content;
    std::error_code unknownSize;
    const auto size = std::filesystem::file_size(path, unknownSize);
    if (!unknownSize) {
        content.reserve(size);
    }
    std::vector<char> buffer(1 << 20);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
        content.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
    }
    return content;
}

void writeFile(const std::string& path, const std::string& content, mode_t mode) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    if (!out || ::chmod(path.c_str(), mode) != 0) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string patterned(std::size_t size, char seed) {
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        content[i] = static_cast<char>((i % 251) + (i / 4096) + static_cast<unsigned char>(seed));
    }
    return content;
}

mode_t permissionsOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        throw std::runtime_error(systemError("stat " + path));
    }
    return status.st_mode & 07777;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TmpfsMount::TmpfsMount(const std::string& folder, const std::string& options)
    : folder_(folder), options_(options), whyNot_(privateMountNamespace()) {
    if (!whyNot_.empty()) {
        return;
    }
    if (::mkdir(folder.c_str(), 0755) != 0) {
        whyNot_ = systemError("mkdir " + folder);
    } else if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        whyNot_ = systemError("mount -t tmpfs -o " + options + " tmpfs " + folder);
    }
}

TmpfsMount::~TmpfsMount() {
    if (whyNot_.empty()) {
        ::umount2(folder_.c_str(), MNT_DETACH);
    }
}

void TmpfsMount::remountReadOnly() {
    if (::mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, options_.c_str()) != 0) {
        throw std::runtime_error(systemError("remount read-only " + folder_));
    }
}

RealRun::RealRun(const std::string& logFolder, const std::string& destination,
                 RealFileSystem::Options options)
    : conventions(Conventions::posix(logFolder)),
      fs(std::move(options)),
      services{messageBox, fs, launcher, conventions, painter} {
    saveTo.text_ = destination;
}

void RealRun::click() {
    ReplicateBtn_Click(controls, services);
}

void asOrdinaryUser(const std::function<void()>& action) {
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

}  // namespace vantrel::testing
