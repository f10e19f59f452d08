// The top of the program: walks the arguments and hands every file to the splitter or joiner.
#pragma once

#include <cstdint>

namespace tarvik {

// Runs the program on argv[1] to argv[argc - 1] (argv[0] is the program's name) and returns the
// exit status: 1 when there are no arguments (after printing the usage text), 0 otherwise.
std::int32_t run_command_line(std::int32_t argc, wchar_t** argv);

}  // namespace tarvik
