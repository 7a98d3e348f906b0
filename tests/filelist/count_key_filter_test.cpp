#include "filelist/count_key_filter.h"

#include <gtest/gtest.h>

#include "support/expected.h"
#include "support/fake_message_box.h"

namespace vantrel::test {
namespace {

// Notes the key code as it stands when the message appears.
class KeyWatchingBox : public FakeMessageBox {
  public:
    explicit KeyWatchingBox(const std::int16_t& key) : key_(key) {}
    Answer show(const std::string& text, Buttons buttons) override {
        keyWhenShown = key_;
        return FakeMessageBox::show(text, buttons);
    }
    std::int16_t keyWhenShown = -1;

  private:
    const std::int16_t& key_;
};

class CountKeyFilter : public testing::TestWithParam<std::pair<std::int16_t, bool>> {};

TEST_P(CountKeyFilter, PassesDigitsAndBackspaceOnly) {
    const auto [code, accepted] = GetParam();
    std::int16_t key = code;
    KeyWatchingBox messages(key);
    CopyTimes_KeyPress(3, key, messages);

    if (accepted) {
        EXPECT_EQ(key, code);
        EXPECT_TRUE(messages.shown.empty());
    } else {
        EXPECT_EQ(key, 0);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, expected::kNumberEntryOnly);
        EXPECT_EQ(messages.shown[0].buttons, Buttons::Ok);
        EXPECT_EQ(messages.keyWhenShown, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CountKeyFilter,
    testing::Values(
        std::pair<std::int16_t, bool>{8, true}, std::pair<std::int16_t, bool>{'0', true},
        std::pair<std::int16_t, bool>{'7', true}, std::pair<std::int16_t, bool>{'9', true},
        std::pair<std::int16_t, bool>{'/', false}, std::pair<std::int16_t, bool>{':', false},
        std::pair<std::int16_t, bool>{'a', false}, std::pair<std::int16_t, bool>{'-', false},
        std::pair<std::int16_t, bool>{'.', false}, std::pair<std::int16_t, bool>{' ', false},
        std::pair<std::int16_t, bool>{13, false}, std::pair<std::int16_t, bool>{0x660, false}));

}  // namespace
}  // namespace vantrel::test
