#include "support/fake_controls.h"

#include "platform/failure.h"
#include "support/listed_files.h"

namespace vantrel::test {

FakeTextBoxArray::FakeTextBoxArray(double left, double width, double height)
    : ControlArray<FakeTextBox>(std::make_unique<FakeTextBox>()) {
    FakeTextBox& first = item(0);
    first.left = left;
    first.width = width;
    first.height_ = height;
}

std::unique_ptr<FakeTextBox> FakeTextBoxArray::copyOfTemplate(const FakeTextBox& templateBox,
                                                              int /*index*/) {
    auto box = std::make_unique<FakeTextBox>(templateBox);
    box->visible_ = false;
    return box;
}

void FakeDirectoryList::setPath(const std::string& path) {
    if (const auto refused = unreadable.find(path); refused != unreadable.end()) {
        throw Failure(refused->second, "Device unavailable");
    }
    const bool changed = path != path_;
    path_ = path;
    if (changed) {
        notifyChange();
    }
}

namespace {

class NoFileList : public DroppedFiles {
  public:
    long long count() const override { throw Failure(kNoFileList, "No file list"); }
    std::string file(long long /*k*/) const override { return {}; }
};

}  // namespace

std::unique_ptr<DroppedFiles> FakeClipboard::files() const {
    if (!files_) {
        return std::make_unique<NoFileList>();
    }
    return std::make_unique<ListedFiles>(*files_);
}

}  // namespace vantrel::test
