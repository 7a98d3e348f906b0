// A FUSE file system that passes a folder through with what many FUSE file systems lack: no
// exclusive rename (RENAME_NOREPLACE), no hard links, no unnamed files (O_TMPFILE) and no
// copy_file_range of its own; a file whose name starts with "unreadable" fails every read, and a
// rename onto a name that starts with "slow" takes a second, as over a slow network. With
// --link-erofs a link is answered EROFS, as fusepy's default answers it, though every other
// write is taken.
// Usage: plain_fuse FOLDER MOUNTPOINT [--link-erofs] [fuse options]
#define FUSE_USE_VERSION 31

#include <dirent.h>
#include <fcntl.h>
#include <fuse.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string backing;
int linkAnswer = EPERM;

std::string real(const char* path) {
    return backing + path;
}

int result(int status) {
    return status < 0 ? -errno : 0;
}

int onGetattr(const char* path, struct stat* status, fuse_file_info*) {
    return result(::lstat(real(path).c_str(), status));
}

int onReaddir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
              fuse_readdir_flags) {
    DIR* folder = ::opendir(real(path).c_str());
    if (folder == nullptr) {
        return -errno;
    }
    while (const dirent* entry = ::readdir(folder)) {
        fill(buffer, entry->d_name, nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    }
    ::closedir(folder);
    return 0;
}

int onOpen(const char* path, fuse_file_info* file) {
    const int fd = ::open(real(path).c_str(), file->flags & ~O_NOFOLLOW);
    if (fd < 0) {
        return -errno;
    }
    file->fh = static_cast<std::uint64_t>(fd);
    return 0;
}

int onCreate(const char* path, mode_t mode, fuse_file_info* file) {
    const int fd = ::open(real(path).c_str(), file->flags, mode);
    if (fd < 0) {
        return -errno;
    }
    file->fh = static_cast<std::uint64_t>(fd);
    return 0;
}

int onRead(const char* path, char* buffer, size_t size, off_t at, fuse_file_info* file) {
    if (std::strncmp(std::strrchr(path, '/') + 1, "unreadable", 10) == 0) {
        return -EACCES;
    }
    const ssize_t got = ::pread(static_cast<int>(file->fh), buffer, size, at);
    return got < 0 ? -errno : static_cast<int>(got);
}

int onWrite(const char*, const char* buffer, size_t size, off_t at, fuse_file_info* file) {
    const ssize_t put = ::pwrite(static_cast<int>(file->fh), buffer, size, at);
    return put < 0 ? -errno : static_cast<int>(put);
}

int onRelease(const char*, fuse_file_info* file) {
    ::close(static_cast<int>(file->fh));
    return 0;
}

int onRename(const char* from, const char* to, unsigned int flags) {
    if (flags != 0) {
        return -EINVAL;
    }
    if (std::strncmp(std::strrchr(to, '/') + 1, "slow", 4) == 0) {
        ::sleep(1);
    }
    return result(::rename(real(from).c_str(), real(to).c_str()));
}

int onLink(const char*, const char*) {
    return -linkAnswer;
}

int onUnlink(const char* path) {
    return result(::unlink(real(path).c_str()));
}

int onMkdir(const char* path, mode_t mode) {
    return result(::mkdir(real(path).c_str(), mode));
}

int onRmdir(const char* path) {
    return result(::rmdir(real(path).c_str()));
}

int onChmod(const char* path, mode_t mode, fuse_file_info*) {
    return result(::chmod(real(path).c_str(), mode));
}

int onTruncate(const char* path, off_t size, fuse_file_info* file) {
    return result(file != nullptr ? ::ftruncate(static_cast<int>(file->fh), size)
                                  : ::truncate(real(path).c_str(), size));
}

int onUtimens(const char* path, const timespec times[2], fuse_file_info* file) {
    return result(file != nullptr ? ::futimens(static_cast<int>(file->fh), times)
                                  : ::utimensat(AT_FDCWD, real(path).c_str(), times, 0));
}

int onSymlink(const char* target, const char* path) {
    return result(::symlink(target, real(path).c_str()));
}

int onReadlink(const char* path, char* buffer, size_t size) {
    const ssize_t length = ::readlink(real(path).c_str(), buffer, size - 1);
    if (length < 0) {
        return -errno;
    }
    buffer[length] = '\0';
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: plain_fuse FOLDER MOUNTPOINT [--link-erofs] [fuse options]\n", stderr);
        return 2;
    }
    backing = argv[1];
    std::vector<char*> arguments = {argv[0]};
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--link-erofs") == 0) {
            linkAnswer = EROFS;
        } else {
            arguments.push_back(argv[i]);
        }
    }
    fuse_operations operations{};
    operations.getattr = onGetattr;
    operations.readdir = onReaddir;
    operations.open = onOpen;
    operations.create = onCreate;
    operations.read = onRead;
    operations.write = onWrite;
    operations.release = onRelease;
    operations.rename = onRename;
    operations.link = onLink;
    operations.unlink = onUnlink;
    operations.mkdir = onMkdir;
    operations.rmdir = onRmdir;
    operations.chmod = onChmod;
    operations.truncate = onTruncate;
    operations.utimens = onUtimens;
    operations.symlink = onSymlink;
    operations.readlink = onReadlink;
    return fuse_main(static_cast<int>(arguments.size()), arguments.data(), &operations, nullptr);
}
