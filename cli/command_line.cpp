#include "cli/command_line.h"

#include <string>

#include "cli/messages.h"
#include "join/join.h"
#include "naming/naming.h"
#include "platform/platform.h"
#include "split/split.h"

namespace tarvik {
namespace {

// A file argument: split with the stored option, or, while none is stored, joined when it
// names a first piece.
void handle_file(const wchar_t* argument, const std::wstring& split_option) {
    if (!split_option.empty()) {
        split_file(argument, split_option.c_str());
        return;
    }
    std::int32_t width = 0;
    if (match_first_piece(argument, &width)) {
        join_pieces(argument, width);
    } else {
        print_message(MSG_NOT_A_PIECE, argument);
    }
}

}  // namespace

std::int32_t run_command_line(std::int32_t argc, wchar_t** argv) {
    platform::select_locale();
    if (argc <= 1) {
        print_message(MSG_USAGE);
        return 1;
    }
    // The value is kept whole, however long: a value too long for a request is refused when a
    // file is split under it, never shortened into a different request.
    std::wstring split_option;
    bool options_ended = false;
    for (std::int32_t i = 1; i < argc; ++i) {
        const wchar_t* argument = argv[i];
        if (options_ended || argument[0] != L'-') {
            handle_file(argument, split_option);
        } else if (argument[1] == L'-') {
            options_ended = true;
        } else if (argument[1] == L's' && argument[2] != 0) {
            split_option.assign(argument + 2);
        }
        // Any other option (a bare "-", "-s" alone, "-S", other letters) is ignored.
    }
    return 0;
}

}  // namespace tarvik
