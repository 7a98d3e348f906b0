#include "filelist/file_list.h"

namespace vantrel {

namespace {

void loadRow(TextBoxArray& boxes, int index, const std::string& text) {
    boxes.load(index);
    TextBox& box = boxes.item(index);
    box.setTop(FileList::rowTop(boxes, index));
    box.setText(text);
    box.setVisible(true);
}

void unloadIfAdded(TextBoxArray& boxes, int countBefore, int index) {
    if (boxes.count() > countBefore) {
        boxes.unload(index);
    }
}

}  // namespace

double FileList::rowTop(TextBoxArray& boxes, int index) {
    return boxes.item(index - 1).top() + boxes.item(0).height();
}

void FileList::append(int index, const std::string& path, const std::string& countText) {
    const int pathsBefore = Text1_.count();
    const int countsBefore = CopyTimes_.count();
    try {
        loadRow(Text1_, index, path);
        loadRow(CopyTimes_, index, countText);
    } catch (...) {
        unloadIfAdded(CopyTimes_, countsBefore, index);
        unloadIfAdded(Text1_, pathsBefore, index);
        throw;
    }
}

}  // namespace vantrel
