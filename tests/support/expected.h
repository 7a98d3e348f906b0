#pragma once

#include <cmath>
#include <string>
#include <vector>

// What the window must show and where, written once on the test side and never taken from the
// program's own code, so that a fault there cannot hide in both.
namespace vantrel::expected {

inline const std::string kTitle = "Vantrel ver. 2";
inline const std::string kCrLf = "\r\n";

// One blank, "Filename", 97 blanks, "No. of Copies".
inline const std::string kListHeader = " Filename" + std::string(97, ' ') + "No. of Copies";

// Messages.
inline const std::string kSpecifyDestination = "Please specify a copy destination.";
inline const std::string kNoFilesToCopy =
    "There are no files to copy.\r\nPlease, drop files into the drop zone.";
inline const std::string kDone = "Files successfully replicated.";
inline const std::string kCancelled = "Copy Cancelled.";
inline const std::string kStopQuestion = "Stop replicating?\r\nThe copies made so far are kept.";
inline const std::string kDiskFull = "Destination drive is full.";
inline std::string tooLarge(const std::string& source) {
    return "The file " + source + " is too large for the destination file system.";
}
inline const std::string kWriteProtected =
    "Permission Denied. The Memory Device is write protected.";
inline const std::string kNotAvailable = "Destination drive not available.";
inline const std::string kNoCopiedFiles = "There are no copied files.\r\nLog not created.";
inline const std::string kNoFileName = "No File name from Explorer";
inline const std::string kNumberEntryOnly = "Number entry only.";
inline const std::string kNoFilesToDelete = "There are no files to delete.";

inline std::string replacePrompt(const std::string& name) {
    return "The file " + name +
           " exist !\r\n\r\nReplace existing file? [Yes]\r\nSkip only this one ! [No]\r\n"
           "Cancel All ! [Cancel]";
}

inline std::string createFolderPrompt(const std::string& folder) {
    return "The folder " + folder + " doesn't exist.\r\nCreate the folder ?";
}

inline std::string progress(int done, int total) {
    return "Progress : " + std::to_string(done) + "/" + std::to_string(total);
}

// Twips.
struct Rect {
    double left;
    double top;
    double width;
    double height;
};

inline constexpr double kRowHeight = 375;
inline constexpr double kFirstRowTop = 180;
inline constexpr Rect kPathTemplate{120, 120, 6735, 375};
inline constexpr Rect kCountTemplate{6840, 120, 855, 375};
inline constexpr Rect kFrameSlide{120, 360, 7815, 1455};
inline constexpr Rect kFrameFix{360, 4080, 8055, 2775};
inline constexpr double kFullBar = 8055;
inline constexpr double kFormWidth = 8490;
inline constexpr double kFormHeight = 7260;

// Twips as the tests read them on a 96 dpi screen: 15 to a pixel, rounded to nearest.
inline int pixels(double twips) {
    return static_cast<int>(std::lround(twips / 15));
}

// The top of entry i's boxes inside the sliding frame.
inline constexpr double rowTop(int i) {
    return kFirstRowTop + (i - 1) * kRowHeight;
}

// What a screen reader reads for each control, by the control's name; the rows are read as
// "File 3" and "Copies of file 3".
struct AccessibleName {
    std::string control;
    std::string name;
};

inline const std::vector<AccessibleName>& accessibleNames() {
    static const std::vector<AccessibleName> names{
        {"SaveTo", "Save To:"},
        {"Drive1", "Drives"},
        {"Dir1", "Folders"},
        {"VScrollFiles", "Scroll the file list"},
        {"Picture1", "Drop files to copy here:"},
        {"ReplicateBtn", "Replicate"},
        {"OpenWEBtn", "File Search"},
        {"ClearBtn", "Clear List"},
        {"LogBtn", "Log File"},
        {"FrameFix", "Filename No. of Copies"},
        {"CopyDestFrame", "Copy Destination"},
        {"Label2", "Save To:"},
    };
    return names;
}

// What a screen reader reads after the drop area's name.
inline const std::string kDropAreaDescription =
    "Press Enter to choose files, or Ctrl+V to paste files copied in the file manager";

// One control of the window as the layout table gives it. `tab` is -1 where there is none.
struct Control {
    std::string name;
    std::string container;
    Rect rect;
    std::string caption;
    bool bold;
    int tab;
    bool shown;
};

// In the order the window keeps its children: within a container, front to back.
inline const std::vector<Control>& controls() {
    static const std::vector<Control> table{
        {"Frame1", "Form1", {4680, 120, 3615, 975}, "Vantrel ver. 2", true, 17, true},
        {"Label3",
         "Frame1",
         {120, 360, 3375, 375},
         "Copies and replicates multiple files of different file types to a certain "
         "folder/drive.",
         false,
         18,
         true},
        {"VScrollFiles", "Form1", {120, 3960, 255, 3135}, "", false, 16, true},
        {"LogBtn", "Form1", {7200, 2880, 1095, 375}, "Log File", false, 15, true},
        {"ClearBtn", "Form1", {7200, 2400, 1095, 375}, "Clear List", false, 14, true},
        {"ReplicateBtn", "Form1", {7200, 1920, 1095, 375}, "Replicate ", false, 13, true},
        {"OpenWEBtn", "Form1", {7200, 1440, 1095, 375}, "File Search", false, 12, true},
        {"DropArea", "Form1", {4680, 1200, 2415, 2775}, "Drop files to copy here:", true, 10, true},
        {"Picture1", "DropArea", {120, 360, 2175, 2295}, "", false, 11, true},
        {"FrameFix", "Form1", kFrameFix, kListHeader, true, 5, true},
        {"FrameSlide", "FrameFix", kFrameSlide, "", false, 6, true},
        {"Text1", "FrameSlide", kPathTemplate, "", false, 8, false},
        {"CopyTimes", "FrameSlide", kCountTemplate, "", false, 7, false},
        {"CopyDestFrame", "Form1", {120, 120, 4455, 3855}, "Copy Destination ", true, 0, true},
        {"SaveTo", "CopyDestFrame", {120, 3360, 4215, 315}, "", false, 4, true},
        {"Dir1", "CopyDestFrame", {120, 720, 4215, 2340}, "", false, 2, true},
        {"Drive1", "CopyDestFrame", {120, 360, 4215, 315}, "", false, 1, true},
        {"Label2", "CopyDestFrame", {120, 3120, 855, 255}, "Save To:", true, 3, true},
        {"ShapeProgress", "Form1", {360, 6840, 675, 255}, "", false, -1, true},
        {"LabelProgress", "Form1", {2280, 6840, 3735, 255}, "", false, 9, true},
        {"ShapeProgressBack", "Form1", {360, 6840, 8055, 255}, "", false, -1, true},
    };
    return table;
}

// The order Tab moves the focus in: the controls that take it, by tab index.
inline const std::vector<std::string> kTabOrder{"Drive1",   "Dir1",      "SaveTo",
                                                "Picture1", "OpenWEBtn", "ReplicateBtn",
                                                "ClearBtn", "LogBtn",    "VScrollFiles"};

}  // namespace vantrel::expected
