// The catalogue of everything the program prints, and the one way to print it.
#pragma once

#include "platform/platform.h"

namespace tarvik {

// A catalogue entry: a wide format holding at most one "%s", and the stream it always goes to.
struct Message {
    const wchar_t* format;
    platform::Stream stream;
};

extern const Message MSG_USAGE;
extern const Message MSG_SOURCE_OPEN_FAILED;
extern const Message MSG_BAD_SPLIT_SPEC;
extern const Message MSG_NO_SPLIT_NEEDED;
extern const Message MSG_TOO_MANY_PIECES;
extern const Message MSG_OUT_OF_MEMORY;
extern const Message MSG_PIECE_CREATE_FAILED;
extern const Message MSG_JOINED_CREATE_FAILED;
extern const Message MSG_NOT_A_PIECE;
extern const Message MSG_PIECE_WRITE_FAILED;
extern const Message MSG_SOURCE_READ_FAILED;
extern const Message MSG_JOINED_WRITE_FAILED;
extern const Message MSG_PIECE_READ_FAILED;
extern const Message MSG_FIRST_PIECE_MISSING;
extern const Message MSG_ECHO_NAME;

// Prints an entry on its stream; arg fills its "%s" and is ignored by entries without one.
void print_message(const Message& message, const wchar_t* arg = nullptr);

}  // namespace tarvik
