#include "support/fake_file_system.h"

#include "platform/failure.h"

namespace vantrel::test {

FakeFileSystem::FakeFileSystem(char separator) : separator_(separator) {
    entries_[""] = Entry{true, {}};
}

std::string FakeFileSystem::key(const std::string& path) const {
    std::string result;
    for (char c : path) {
        if (c == separator_ && !result.empty() && result.back() == separator_) {
            continue;
        }
        result += c;
    }
    while (!result.empty() && result.back() == separator_) {
        result.pop_back();
    }
    return result;
}

std::string FakeFileSystem::parentKey(const std::string& key) const {
    const auto pos = key.rfind(separator_);
    return pos == std::string::npos ? std::string() : key.substr(0, pos);
}

void FakeFileSystem::addDir(const std::string& path) {
    std::string k = key(path);
    while (!k.empty() && !entries_.count(k)) {
        entries_[k] = Entry{true, {}};
        k = parentKey(k);
    }
}

void FakeFileSystem::putFile(const std::string& key, const std::string& content) {
    entries_[key] = Entry{false, content, ++lastSerial_};
}

void FakeFileSystem::addFile(const std::string& path, const std::string& content) {
    const std::string k = key(path);
    addDir(parentKey(k));
    putFile(k, content);
}

bool FakeFileSystem::isDir(const std::string& path) const {
    const auto it = entries_.find(key(path));
    return it != entries_.end() && it->second.isDir;
}

bool FakeFileSystem::isFile(const std::string& path) const {
    const auto it = entries_.find(key(path));
    return it != entries_.end() && !it->second.isDir;
}

std::string FakeFileSystem::content(const std::string& path) const {
    const auto it = entries_.find(key(path));
    return it == entries_.end() ? std::string() : it->second.content;
}

std::vector<std::string> FakeFileSystem::files() const {
    std::vector<std::string> result;
    for (const auto& [k, entry] : entries_) {
        if (!entry.isDir) {
            result.push_back(k);
        }
    }
    return result;
}

void FakeFileSystem::failOn(Op op, const std::string& path, int number, int times) {
    injected_.push_back({op, path, number, times});
}

void FakeFileSystem::appearBeforeCopy(const std::string& path, const std::string& content) {
    appearing_[key(path)] = content;
}

void FakeFileSystem::checkInjected(Op op, const std::string& path) {
    for (auto& failure : injected_) {
        if (failure.op != op || failure.times == 0) {
            continue;
        }
        if (!failure.path.empty() && failure.path != path) {
            continue;
        }
        if (failure.times > 0) {
            --failure.times;
        }
        throw Failure(failure.number, "injected failure " + std::to_string(failure.number));
    }
}

void FakeFileSystem::requireParentDir(const std::string& k) const {
    const auto it = entries_.find(parentKey(k));
    if (it == entries_.end() || !it->second.isDir) {
        throw Failure(kPathNotFound, "Path not found");
    }
}

bool FakeFileSystem::exists(const std::string& path, Attributes attributes) {
    calls.push_back("exists " + std::to_string(static_cast<int>(attributes)) + " " + path);
    checkInjected(Op::Exists, path);
    const auto it = entries_.find(key(path));
    if (it == entries_.end()) {
        return false;
    }
    return attributes == Attributes::Directory || !it->second.isDir;
}

void FakeFileSystem::makeDir(const std::string& path) {
    calls.push_back("mkdir " + path);
    checkInjected(Op::MakeDir, path);
    const std::string k = key(path);
    if (entries_.count(k)) {
        throw Failure(kPathFileAccessError, "Path/File access error");
    }
    requireParentDir(k);
    entries_[k] = Entry{true, {}};
}

std::optional<FileIdentity> FakeFileSystem::identify(const std::string& path) {
    const auto it = entries_.find(key(path));
    if (it == entries_.end() || it->second.isDir) {
        return std::nullopt;
    }
    return FileIdentity{1, it->second.serial};
}

void FakeFileSystem::copyFile(const std::string& source, const std::string& target, CopyTo mode,
                              const CopyProgress& progress,
                              const std::optional<FileIdentity>& asked, std::stop_token stop) {
    calls.push_back("copy " + source + " > " + target);
    const std::string k = key(target);
    if (const auto appears = appearing_.find(k); appears != appearing_.end()) {
        putFile(k, appears->second);
        appearing_.erase(appears);
    }
    checkInjected(Op::Copy, target);
    const auto from = entries_.find(key(source));
    if (from == entries_.end() || from->second.isDir) {
        throw Failure(kFileNotFound, "File not found");
    }
    requireParentDir(k);
    if (isDir(target)) {
        throw Failure(kPathFileAccessError, "Path/File access error");
    }
    if (isFile(target) && (mode == CopyTo::NewFile || (asked && identify(target) != asked))) {
        throw Failure(kFileAlreadyExists, "File already exists");
    }
    // Half way, then whole, as a copy of some size reports itself.
    const std::uint64_t size = from->second.content.size();
    if (progress) {
        progress(size / 2, size);
    }
    // A stop asked for half way abandons the copy, as the real ones do.
    if (stop.stop_requested()) {
        throw Failure(kUserInterrupt, "Stopped");
    }
    putFile(k, from->second.content);
    if (progress) {
        progress(size, size);
    }
}

void FakeFileSystem::writeText(const std::string& path, const std::string& text) {
    calls.push_back("write " + path);
    checkInjected(Op::Write, path);
    const std::string k = key(path);
    requireParentDir(k);
    if (isDir(path)) {
        throw Failure(kPathFileAccessError, "Path/File access error");
    }
    putFile(k, text);
}

// Calls are recorded and failures injected at each addition, as "append path" and Op::Append.
class FakeFileSystem::Appended : public AppendedFile {
  public:
    Appended(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}

    bool append(std::string_view text, std::uint64_t length) override {
        fs_.calls.push_back("append " + path_);
        fs_.checkInjected(Op::Append, path_);
        const auto it = fs_.entries_.find(fs_.key(path_));
        if (it == fs_.entries_.end() || it->second.isDir || it->second.content.size() != length) {
            return false;
        }
        it->second.content += text;
        return true;
    }

  private:
    FakeFileSystem& fs_;
    std::string path_;
};

std::unique_ptr<AppendedFile> FakeFileSystem::openAppended(const std::string& path) {
    if (!isFile(path)) {
        return nullptr;
    }
    try {
        checkInjected(Op::Open, path);
    } catch (const Failure&) {
        return nullptr;
    }
    return std::make_unique<Appended>(*this, path);
}

void FakeFileSystem::removeLeftovers(const std::string& folder) {
    calls.push_back("leftovers " + folder);
}

}  // namespace vantrel::test
