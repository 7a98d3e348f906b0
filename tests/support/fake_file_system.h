#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vantrel::test {

// An in-memory file system with the separator of one flavour. Doubled and trailing separators
// name the same entry as single ones. Every call is recorded, and failures can be injected.
class FakeFileSystem : public FileSystem {
  public:
    // Open: openAppended answers null, as for a file this user may not write.
    enum class Op { Exists, MakeDir, Copy, Write, Append, Open };

    explicit FakeFileSystem(char separator);

    void addDir(const std::string& path);
    void addFile(const std::string& path, const std::string& content);
    bool isDir(const std::string& path) const;
    bool isFile(const std::string& path) const;
    std::string content(const std::string& path) const;
    // Paths of the plain files, in sorted order of their normalised names.
    std::vector<std::string> files() const;

    // Makes the operation fail with the number for a path (empty: any path), the next `times`
    // calls or, with a negative count, every call.
    void failOn(Op op, const std::string& path, int number, int times = -1);
    // Puts a file at path when the next copy to it starts, as another program might after the
    // run's existence test.
    void appearBeforeCopy(const std::string& path, const std::string& content);

    bool exists(const std::string& path, Attributes attributes) override;
    void makeDir(const std::string& path) override;
    using FileSystem::copyFile;
    std::optional<FileIdentity> identify(const std::string& path) override;
    void copyFile(const std::string& source, const std::string& target, CopyTo mode,
                  const CopyProgress& progress, const std::optional<FileIdentity>& asked,
                  std::stop_token stop) override;
    void writeText(const std::string& path, const std::string& text) override;
    std::unique_ptr<AppendedFile> openAppended(const std::string& path) override;
    void removeLeftovers(const std::string& folder) override;

    // "exists 0 path", "exists 16 path", "mkdir path", "copy source > target", "write path",
    // "append path", "leftovers folder".
    std::vector<std::string> calls;

  private:
    class Appended;
    struct Entry {
        bool isDir = false;
        std::string content;
        // Which file this is: each file put at a name is a new one.
        std::uint64_t serial = 0;
    };
    struct Injected {
        Op op;
        std::string path;
        int number;
        int times;
    };

    std::string key(const std::string& path) const;
    std::string parentKey(const std::string& key) const;
    void checkInjected(Op op, const std::string& path);
    void requireParentDir(const std::string& key) const;

    void putFile(const std::string& key, const std::string& content);

    char separator_;
    std::uint64_t lastSerial_ = 0;
    std::map<std::string, Entry> entries_;
    std::vector<Injected> injected_;
    std::map<std::string, std::string> appearing_;
};

}  // namespace vantrel::test
