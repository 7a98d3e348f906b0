#include <gtest/gtest.h>

#include "version/version.h"

namespace vantrel {
namespace {

TEST(Version, ProgramAndPackageShowTheirOwnFormOfOneVersion) {
    EXPECT_STREQ(kVersionText, "1.00");
    EXPECT_STREQ(kPackageVersion, "1.0.0");
}

}  // namespace
}  // namespace vantrel
