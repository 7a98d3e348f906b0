#include "window/handler_guard.h"

#include <exception>
#include <iostream>
#include <string>

#include "platform/failure.h"

namespace vantrel {

namespace {

void report(MessageBox& messageBox, const std::string& reason) noexcept {
    try {
        messageBox.show(reason, Buttons::Ok);
    } catch (...) {
        // Not even the message box could be shown: the terminal is all that is left.
        std::cerr << "Vantrel: " << reason << '\n';
    }
}

}  // namespace

void runHandler(MessageBox& messageBox, const std::function<void()>& handler) noexcept {
    try {
        handler();
    } catch (const Failure& failure) {
        report(messageBox, failure.reason());
    } catch (const std::exception& failure) {
        report(messageBox, failure.what());
    } catch (...) {
        report(messageBox, "An unexpected failure ended the last action.");
    }
}

}  // namespace vantrel
