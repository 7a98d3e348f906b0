#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace vantrel::test {

// Answers with scripted answers in order and records every box shown. An OK box needs no
// script; a question without a scripted answer is a fault of the test and throws.
class FakeMessageBox : public MessageBox {
  public:
    struct Shown {
        std::string text;
        Buttons buttons;
    };

    Answer show(const std::string& text, Buttons buttons) override;

    void script(std::initializer_list<Answer> answers) { answers_.insert(answers_.end(), answers); }
    // Answers every question with the same answer once the script is used up.
    void alwaysAnswer(Answer answer) {
        fallback_ = answer;
        hasFallback_ = true;
    }
    std::size_t unusedAnswers() const { return answers_.size(); }
    // The texts of the boxes shown, in order.
    std::vector<std::string> texts() const;

    std::vector<Shown> shown;

  private:
    std::deque<Answer> answers_;
    Answer fallback_ = Answer::Ok;
    bool hasFallback_ = false;
};

}  // namespace vantrel::test
