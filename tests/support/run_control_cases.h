#pragma once

#include <string>
#include <vector>

#include "platform/message_box.h"
#include "support/expected.h"

namespace vantrel::test {

// What the user does while the second of three copies of one file is under way.
enum class UserAct { Escape, Close, SecondReplicate };

// The cases both windows share: what the user does, how the question is answered, and what
// is left once the run is over.
struct RunControlCase {
    const char* name;
    UserAct act;
    // The answer to "Stop replicating?"; Ok where nothing is asked.
    Answer answer;
    // The copies the destination holds, and the log names, in order.
    std::vector<std::string> copies;
    std::string caption;
    bool windowCloses;
};

inline const std::vector<RunControlCase>& runControlCases() {
    static const std::vector<RunControlCase> cases{
        {"EscapeYes", UserAct::Escape, Answer::Yes, {"a(1).txt"}, expected::kCancelled, false},
        {"EscapeNo",
         UserAct::Escape,
         Answer::No,
         {"a(1).txt", "a(2).txt", "a(3).txt"},
         expected::kDone,
         false},
        {"CloseYes", UserAct::Close, Answer::Yes, {"a(1).txt"}, expected::kCancelled, true},
        {"CloseNo",
         UserAct::Close,
         Answer::No,
         {"a(1).txt", "a(2).txt", "a(3).txt"},
         expected::kDone,
         false},
        {"SecondReplicate",
         UserAct::SecondReplicate,
         Answer::Ok,
         {"a(1).txt", "a(2).txt", "a(3).txt"},
         expected::kDone,
         false},
    };
    return cases;
}

}  // namespace vantrel::test
