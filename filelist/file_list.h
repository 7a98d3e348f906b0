#pragma once

#include <string>

#include "platform/controls.h"

namespace vantrel {

// The file list as the window holds it: entry i (i >= 1) is path box i of Text1 and count box i
// of CopyTimes; element 0 of each is the hidden template row. The list has no storage of its
// own, so this is only a view of the two arrays.
class FileList {
  public:
    FileList(TextBoxArray& Text1, TextBoxArray& CopyTimes) : Text1_(Text1), CopyTimes_(CopyTimes) {}

    int entries() const { return Text1_.count() - 1; }
    std::string path(int i) const { return Text1_.item(i).text(); }
    std::string countText(int i) const { return CopyTimes_.item(i).text(); }

    // Appends entry `index` (the next one) with the path and the count text, each box one row
    // below its predecessor and shown once its place and text are set. Either both boxes of the
    // entry are made or neither stays, so the arrays remain parallel.
    void append(int index, const std::string& path, const std::string& countText = "1");
    // Appends an entry after the last one.
    void append(const std::string& path, const std::string& countText = "1") {
        append(Text1_.count(), path, countText);
    }

    // Where a row box goes: one template height below the box of the row before it.
    static double rowTop(TextBoxArray& boxes, int index);

  private:
    TextBoxArray& Text1_;
    TextBoxArray& CopyTimes_;
};

}  // namespace vantrel
