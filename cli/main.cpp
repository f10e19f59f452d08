#include "cli/command_line.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    tarvik::platform::Arguments arguments = tarvik::platform::start_process(argc, argv);
    return tarvik::run_command_line(arguments.count(), arguments.vector());
}
