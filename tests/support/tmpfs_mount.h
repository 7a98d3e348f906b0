#pragma once

#include <string>

namespace vantrel::test {

// Mounts a tmpfs for one test, in a private mount namespace of the test process so that the
// mount never shows outside it; as a user without root rights the namespace is a user
// namespace where the user counts as root. Linux only.
class TmpfsMount {
  public:
    TmpfsMount(const std::string& folder, const std::string& options);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    // Empty when mounted, else why the mount could not be made.
    const std::string& whyNot() const { return whyNot_; }
    void remountReadOnly();

  private:
    std::string folder_;
    std::string options_;
    std::string whyNot_;
};

}  // namespace vantrel::test
