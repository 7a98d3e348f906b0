#include "support/fake_message_box.h"

#include <stdexcept>

namespace vantrel::test {

Answer FakeMessageBox::show(const std::string& text, Buttons buttons) {
    shown.push_back({text, buttons});
    if (buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    if (!answers_.empty()) {
        const Answer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    if (hasFallback_) {
        return fallback_;
    }
    throw std::logic_error("unscripted question: " + text);
}

std::vector<std::string> FakeMessageBox::texts() const {
    std::vector<std::string> result;
    for (const auto& box : shown) {
        result.push_back(box.text);
    }
    return result;
}

}  // namespace vantrel::test
