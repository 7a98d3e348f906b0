#include <gtest/gtest.h>

#include "platform/failure.h"
#include "replication/count_text.h"

namespace vantrel {
namespace {

struct Reading {
    const char* text;
    double reading;
    int count;
};

TEST(CountText, ReadsTheLeadingDecimalNumber) {
    const Reading cases[] = {
        {"", 0, 0},
        {"007", 7, 7},
        {"12ab", 12, 12},
        {"1 2", 12, 12},
        {"2.5", 2.5, 2},
        {"3.5", 3.5, 4},
        {"-2.5", -2.5, -2},
        {" \t\n7\n", 7, 7},
        {"-3", -3, -3},
        {"+4", 4, 4},
        {"1.5.5", 1.5, 2},
        {"abc", 0, 0},
        {".", 0, 0},
        {"-", 0, 0},
        {".5", 0.5, 0},
        {"5.", 5, 5},
        {"1e5", 1, 1},
        {"0x10", 0, 0},
        {"1-2", 1, 1},
        {"--5", 0, 0},
        {"32767", 32767, 32767},
        {"-32768", -32768, -32768},
        {"32767.4", 32767.4, 32767},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        EXPECT_DOUBLE_EQ(numericReading(c.text), c.reading);
        EXPECT_EQ(countValue(c.text), c.count);
    }
}

TEST(CountText, ReadingsTooSmallForADoubleAreTheirValue) {
    const std::string tiny = "0." + std::string(400, '0') + "1";
    const std::string texts[] = {tiny, "-" + tiny, "00" + tiny + "9", " " + tiny + "x"};
    for (const auto& text : texts) {
        SCOPED_TRACE(text);
        EXPECT_EQ(numericReading(text), 0.0);
        EXPECT_EQ(countValue(text), 0);
    }
}

TEST(CountText, CountsOutsideSixteenBitsOverflow) {
    const std::string texts[] = {"40000",
                                 "32767.5",
                                 "-32769",
                                 "99999999999999999999999999",
                                 std::string(400, '9'),
                                 "1" + std::string(400, '0') + ".5"};
    for (const auto& text : texts) {
        SCOPED_TRACE(text);
        try {
            countValue(text);
            ADD_FAILURE() << "no overflow";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.number(), kOverflow);
        }
    }
}

}  // namespace
}  // namespace vantrel
