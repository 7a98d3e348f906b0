#include "platform/wtf8.h"

#include <gtest/gtest.h>

#include <string>

namespace vantrel::test {
namespace {

using namespace std::string_literals;

struct Spelled {
    std::u16string units;
    std::string bytes;
};

// Each name, as NTFS may hold it, has one spelling in the program's strings and back.
TEST(Wtf8, EveryUtf16NameHasOneSpellingAndComesBackUnchanged) {
    const Spelled cases[] = {
        {u"", ""},
        {u"a.txt", "a.txt"},
        {u"B\u00fccher",
         "B\xc3\xbc"
         "cher"},
        {u"\u20ac", "\xe2\x82\xac"},
        {u"\U0001F600.png", "\xf0\x9f\x98\x80.png"},
        // Lone halves, each alone and at either end of a name.
        {u"a\xD800.txt"s, "a\xed\xa0\x80.txt"},
        {u"\xDC00"s, "\xed\xb0\x80"},
        {u"\xDBFF"s, "\xed\xaf\xbf"},
        // A trail before its lead is two lone halves, not a pair.
        {u"\xDC00\xD800"s, "\xed\xb0\x80\xed\xa0\x80"},
        {u"x\0y"s, "x\0y"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wtf8::fromUtf16(c.units), c.bytes);
        EXPECT_EQ(wtf8::toUtf16(c.bytes), c.units);
    }
}

TEST(Wtf8, HalvesJoinedFromTwoTextsGiveThePair) {
    const std::string joined = wtf8::fromUtf16(u"\xD83D"s) + wtf8::fromUtf16(u"\xDE00"s);
    EXPECT_EQ(wtf8::toUtf16(joined), u"\U0001F600");
}

TEST(Wtf8, BytesThatAreNoTextAreRefused) {
    for (const std::string& bytes :
         {"\x80"s, "a\xc3"s, "\xc0\xaf"s, "\xe0\x80\xaf"s, "\xf0\x80\x80\x80"s, "\xf4\x90\x80\x80"s,
          "\xff"s, "\xe2\x82"s, "\xe2\x28\xac"s}) {
        EXPECT_FALSE(wtf8::toUtf16(bytes).has_value()) << testing::PrintToString(bytes);
    }
}

}  // namespace
}  // namespace vantrel::test
