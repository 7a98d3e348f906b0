#include "platform/fs/content_copy.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/fs/descriptor.h"

namespace vantrel::posix {

namespace {

constexpr off_t kProgressPiece = 8 * 1024 * 1024;
constexpr std::size_t kCopyBufferSize = 256 * 1024;

void copyByReading(int in, int out, const CopyProgress& progress) {
    const auto buffer = std::make_unique<char[]>(kCopyBufferSize);
    off_t at = 0;
    for (;;) {
        const ssize_t got = ::read(in, buffer.get(), kCopyBufferSize);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwSourceErrno();
        }
        if (got == 0) {
            return;
        }
        writeAllAt(out, buffer.get(), static_cast<std::size_t>(got), at);
        at += got;
        if (progress) {
            progress(static_cast<std::uint64_t>(at), 0);
        }
    }
}

// Copies ranges of one file to the same offsets of another, in the kernel where it can: there
// copy_file_range shares the blocks on XFS and btrfs.
class RangeCopier {
  public:
    RangeCopier(int in, int out, off_t size, const CopyProgress& progress)
        : in_(in), out_(out), size_(size), progress_(progress) {}

    // Copies [from, to); returns where the copy ended, short of `to` when the source ended.
    off_t copy(off_t from, off_t to) {
        loff_t in = from;
        loff_t out = from;
        while (inKernel_ && in < to) {
            // In pieces, so that the window can show a large copy coming along.
            const auto piece = static_cast<std::size_t>(std::min<off_t>(to - in, kProgressPiece));
            const ssize_t n = ::copy_file_range(in_, &in, out_, &out, piece, 0);
            if (n == 0) {
                return in;
            }
            if (n > 0) {
                report(in);
            }
            // Its failure does not say which side failed: the reads and writes below retry
            // the rest and tell.
            if (n < 0 && errno != EINTR) {
                inKernel_ = false;
            }
        }
        while (in < to) {
            if (!buffer_) {
                buffer_ = std::make_unique<char[]>(kCopyBufferSize);
            }
            const auto wanted = static_cast<std::size_t>(std::min<off_t>(to - in, kCopyBufferSize));
            const ssize_t got = ::pread(in_, buffer_.get(), wanted, in);
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throwSourceErrno();
            }
            if (got == 0) {
                return in;
            }
            writeAllAt(out_, buffer_.get(), static_cast<std::size_t>(got), in);
            in += got;
            report(in);
        }
        return in;
    }

  private:
    void report(off_t at) const {
        if (progress_) {
            progress_(static_cast<std::uint64_t>(at), static_cast<std::uint64_t>(size_));
        }
    }

    int in_;
    int out_;
    off_t size_;
    const CopyProgress& progress_;
    bool inKernel_ = true;
    std::unique_ptr<char[]> buffer_;
};

bool seekUnsupported(int err) {
    return err == EINVAL || err == EOPNOTSUPP;
}

// Copies [0, size) of a source with holes, data range by data range as SEEK_DATA finds them;
// returns where the copy ends: where the source ended, or at its size after a last hole.
off_t copyDataRanges(RangeCopier& copier, int in, off_t size) {
    for (off_t at = 0; at < size;) {
        off_t data = ::lseek(in, at, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) {
                break;  // nothing but a hole up to the end
            }
            if (!seekUnsupported(errno)) {
                throwSourceErrno();
            }
            data = at;
        }
        off_t hole = ::lseek(in, data, SEEK_HOLE);
        if (hole < 0) {
            if (!seekUnsupported(errno) && errno != ENXIO) {
                throwSourceErrno();
            }
            hole = size;
        }
        hole = std::min(hole, size);
        if (data >= hole) {
            break;
        }
        const off_t reached = copier.copy(data, hole);
        if (reached < hole) {
            return reached;
        }
        at = hole;
    }
    return size;
}

}  // namespace

// A source with holes has only its data copied; the holes are asked for, as blocks allocated
// past the end can make up for them in the block count. A source that reports no size (pseudo
// files) is read to its end; one that ends before its size is copied as far as it goes.
void copyContent(int in, int out, const struct stat& source, const CopyProgress& progress) {
    const off_t size = source.st_size;
    if (size == 0) {
        copyByReading(in, out, progress);
        return;
    }
    RangeCopier copier(in, out, size, progress);
    // A file of one block has no hole worth the question.
    const off_t hole = size <= source.st_blksize ? size : ::lseek(in, 0, SEEK_HOLE);
    if (hole < 0 ? seekUnsupported(errno) : hole >= size) {
        copier.copy(0, size);
        return;
    }
    // A last hole has no data to give the copy its size.
    if (::ftruncate(out, copyDataRanges(copier, in, size)) != 0) {
        throwErrno();
    }
}

void keepModificationTime(int fd, const struct stat& source) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, source.st_mtim};
    if (::futimens(fd, times) != 0) {
        throwErrno();
    }
}

}  // namespace vantrel::posix
