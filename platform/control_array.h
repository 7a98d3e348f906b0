#pragma once

#include <memory>
#include <vector>

#include "platform/controls.h"
#include "platform/failure.h"

namespace vantrel {

// The bookkeeping every control array shares: element 0 is given at construction, further
// elements are copies of it, indices may have gaps while a caller unloads from the front.
template <class Box>
class ControlArray : public TextBoxArray {
  public:
    // The highest index a 16-bit row index can name.
    static constexpr int kMaxIndex = 32767;

    explicit ControlArray(std::unique_ptr<Box> templateBox) {
        elements_.push_back(std::move(templateBox));
    }

    int count() const override { return count_; }
    int ubound() const override { return static_cast<int>(elements_.size()) - 1; }

    Box& item(int index) override {
        if (index < 0 || index >= static_cast<int>(elements_.size()) || !elements_[index]) {
            throw Failure(kElementDoesNotExist,
                          "Control array element '" + std::to_string(index) + "' doesn't exist");
        }
        return *elements_[index];
    }

    void load(int index) override {
        if (index < 1 || index > kMaxIndex) {
            throw Failure(kSubscriptOutOfRange, "Subscript out of range");
        }
        if (index < static_cast<int>(elements_.size()) && elements_[index]) {
            throw Failure(kObjectAlreadyLoaded, "Object already loaded");
        }
        if (index >= static_cast<int>(elements_.size())) {
            elements_.resize(static_cast<std::size_t>(index) + 1);
        }
        elements_[index] = copyOfTemplate(*elements_[0], index);
        ++count_;
        loaded(index);
    }

    void unload(int index) override {
        item(index);
        if (index == 0) {
            throw Failure(kSubscriptOutOfRange, "The template element cannot be unloaded");
        }
        elements_[index].reset();
        --count_;
        while (!elements_.back()) {
            elements_.pop_back();
        }
        unloaded(index);
    }

  protected:
    // Makes the hidden element `index` with every setting of the template.
    virtual std::unique_ptr<Box> copyOfTemplate(const Box& templateBox, int index) = 0;
    virtual void loaded(int /*index*/) {}
    virtual void unloaded(int /*index*/) {}

    bool isLoaded(int index) const {
        return index >= 0 && index < static_cast<int>(elements_.size()) && elements_[index];
    }

  private:
    std::vector<std::unique_ptr<Box>> elements_;
    int count_ = 1;
};

}  // namespace vantrel
