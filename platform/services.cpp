#include "platform/services.h"

#include "platform/failure.h"

namespace vantrel {

void launchOrReport(const LaunchCommand& command, Services& services) {
    try {
        services.launcher.launch(command);
    } catch (const Failure& failure) {
        services.messageBox.show(
            "Could not start " + command.commandLine() + "." + kCrLf + failure.reason(),
            Buttons::Ok);
    }
}

}  // namespace vantrel
