#include <gtest/gtest.h>

#include "replication/copy_name.h"

namespace vantrel {
namespace {

TEST(CopyName, PutsTheNumberBeforeTheLastDot) {
    struct Case {
        const char* fileName;
        long long k;
        const char* expected;
    };
    const Case cases[] = {
        {"photo.jpg", 1, "photo(1).jpg"},
        {"report.final.pdf", 2, "report.final(2).pdf"},
        {"a.b.c.txt", 1, "a.b.c(1).txt"},
        {".profile", 1, "(1).profile"},
        {"notes.", 1, "notes(1)."},
        {"README", 2, "README(2)"},
        {"", 1, "(1)"},
        {"x.txt", 32767, "x(32767).txt"},
        {"caf\xe9.txt", 1, "caf\xe9(1).txt"},
        {"\xe5\x86\x99\xe7\x9c\x9f.jpg", 3, "\xe5\x86\x99\xe7\x9c\x9f(3).jpg"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(copyName(c.fileName, c.k), c.expected) << c.fileName;
    }
}

TEST(CopyName, FileNameIsWhatFollowsTheLastSeparator) {
    struct Case {
        const char* path;
        char separator;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\pics\\a.jpg", '\\', "a.jpg"},
        {"C:\\dir.x\\name", '\\', "name"},
        {"a.jpg", '\\', "a.jpg"},
        {"C:\\dir\\", '\\', ""},
        {"/home/u/dir.x/b.txt", '/', "b.txt"},
        {"/home/u/d\xe9/caf\xe9.txt", '/', "caf\xe9.txt"},
        {"C:\\pics\\a.jpg", '/', "C:\\pics\\a.jpg"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fileNameOf(c.path, c.separator), c.expected) << c.path;
    }
}

}  // namespace
}  // namespace vantrel
