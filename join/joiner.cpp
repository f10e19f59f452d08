// Concatenating pieces, in index order, into the file they were cut from.
#include <cwchar>
#include <new>
#include <string>

#include "cli/messages.h"
#include "join/join.h"
#include "naming/naming.h"
#include "platform/copy_buffer.h"
#include "platform/platform.h"

namespace tarvik {
namespace {

enum class FirstPieces { missing, joined_name_taken, usable };

// Looks at the pieces with index 0 and 1 before the joined file is created, since creating it
// empties any file of that name. Without either piece there is nothing to join; and when the
// joined name leads to one of them (a link), creating it would destroy that piece unread.
FirstPieces check_first_pieces(const std::wstring& joined_name, std::int32_t width) {
    std::wstring name;
    bool found = false;
    for (std::int32_t index = 0; index <= 1; ++index) {
        compose_piece_name(joined_name, index, width, name);
        platform::File piece = platform::open_for_reading(name);
        if (piece && platform::names_open_file(joined_name, piece.get())) {
            return FirstPieces::joined_name_taken;
        }
        found = found || piece != nullptr;
    }
    return found ? FirstPieces::usable : FirstPieces::missing;
}

enum class CopyResult { complete, read_failed, write_failed };

// Appends the whole of piece to joined, reads of at most COPY_CHUNK_BYTES each.
CopyResult append_piece(std::FILE* piece, std::FILE* joined, unsigned char* buffer) {
    for (;;) {
        std::size_t got = std::fread(buffer, 1, COPY_CHUNK_BYTES, piece);
        if (got == 0) {
            return std::ferror(piece) ? CopyResult::read_failed : CopyResult::complete;
        }
        if (std::fwrite(buffer, 1, got, joined) != got) {
            return CopyResult::write_failed;
        }
    }
}

// Appends every piece from index 0 up to the first missing one (index 0 may be missing).
int append_pieces(const std::wstring& base, std::int32_t width, std::FILE* joined,
                  unsigned char* buffer) {
    std::wstring name;
    for (std::int32_t index = 0; compose_piece_name(base, index, width, name); ++index) {
        platform::File piece = platform::open_for_reading(name);
        if (!piece) {
            if (index == 0) {
                continue;
            }
            break;
        }
        // A piece that is the joined file itself (a link) would be read while it grows.
        CopyResult appended = platform::names_open_file(name, joined)
                                  ? CopyResult::read_failed
                                  : append_piece(piece.get(), joined, buffer);
        if (appended == CopyResult::read_failed) {
            print_message(MSG_PIECE_READ_FAILED, name.c_str());
            return 0;
        }
        if (appended == CopyResult::write_failed) {
            print_message(MSG_JOINED_WRITE_FAILED, base.c_str());
            return 0;
        }
    }
    return 1;
}

int join_into(const wchar_t* path, const std::wstring& joined_name, std::int32_t width) {
    FirstPieces first_pieces = check_first_pieces(joined_name, width);
    if (first_pieces == FirstPieces::missing) {
        print_message(MSG_FIRST_PIECE_MISSING, path);
        return 0;
    }
    platform::File joined =
        first_pieces == FirstPieces::usable ? platform::open_for_writing(joined_name) : nullptr;
    if (!joined) {
        print_message(MSG_JOINED_CREATE_FAILED);
        return 0;
    }
    CopyBuffer buffer = allocate_copy_buffer();
    if (!buffer) {
        print_message(MSG_OUT_OF_MEMORY);
        return 0;
    }
    if (append_pieces(joined_name, width, joined.get(), buffer.get()) == 0) {
        return 0;
    }
    if (!platform::close_file(joined)) {
        print_message(MSG_JOINED_WRITE_FAILED, joined_name.c_str());
        return 0;
    }
    print_message(MSG_ECHO_NAME, joined_name.c_str());
    return 1;
}

}  // namespace

int join_pieces(const wchar_t* path, std::int32_t width) {
    const wchar_t* last_dot = path != nullptr ? std::wcsrchr(path, L'.') : nullptr;
    if (last_dot == nullptr || width < 1) {
        return 0;
    }
    try {
        return join_into(path, std::wstring(path, last_dot), width);
    } catch (const std::bad_alloc&) {
        // Only a name can fail to grow here; everything opened is closed on the way out.
        print_message(MSG_OUT_OF_MEMORY);
        return 0;
    }
}

}  // namespace tarvik
