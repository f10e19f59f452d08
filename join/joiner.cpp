// Concatenating pieces, in index order, into the file they were cut from.
#include <cwchar>
#include <new>
#include <optional>
#include <string>

#include "cli/messages.h"
#include "join/join.h"
#include "naming/naming.h"
#include "platform/copy_buffer.h"
#include "platform/platform.h"

namespace tarvik {
namespace {

// Whether the piece with index 0 or the one with index 1 can be opened: without either there
// is nothing to join, and creating the joined file would only empty a file of that name.
bool first_piece_exists(const std::wstring& joined_name, std::int32_t width) {
    std::wstring name;
    for (std::int32_t index = 0; index <= 1; ++index) {
        compose_piece_name(joined_name, index, width, name);
        if (platform::open_for_reading(name)) {
            return true;
        }
    }
    return false;
}

// Whether the joined name leads to one of the pieces to be read (through a link), so that
// creating the joined file would empty that piece unread. Only an existing name can.
bool joined_name_leads_to_a_piece(const std::wstring& joined_name, std::int32_t width) {
    std::optional<platform::FileIdentity> existing;
    if (!platform::open_for_reading(joined_name, &existing) || !existing) {
        return false;
    }
    std::wstring name;
    for (std::int32_t index = 0; compose_piece_name(joined_name, index, width, name); ++index) {
        if (platform::names_file(name, *existing)) {
            return true;
        }
        if (index >= 1 && !platform::open_for_reading(name)) {
            return false;  // the join would end here
        }
    }
    return false;
}

enum class CopyResult { complete, read_failed, write_failed };

// Appends the whole of piece to joined, reads of READ_BYTES each. A short read that sets the end
// of the file ends the piece without one more read.
CopyResult append_piece(std::FILE* piece, std::FILE* joined, unsigned char* buffer) {
    for (;;) {
        std::size_t got = std::fread(buffer, 1, READ_BYTES, piece);
        if (got != 0 && std::fwrite(buffer, 1, got, joined) != got) {
            return CopyResult::write_failed;
        }
        if (got < READ_BYTES) {
            return std::ferror(piece) ? CopyResult::read_failed : CopyResult::complete;
        }
    }
}

// Appends every piece from index 0 up to the first missing one (index 0 may be missing).
int append_pieces(const std::wstring& base, std::int32_t width, std::FILE* joined,
                  unsigned char* buffer) {
    std::optional<platform::FileIdentity> joined_identity = platform::identity_of(joined);
    std::optional<platform::FileIdentity> piece_identity;
    std::wstring name;
    for (std::int32_t index = 0; compose_piece_name(base, index, width, name); ++index) {
        platform::File piece = platform::open_for_reading(name, &piece_identity);
        if (!piece) {
            if (index == 0) {
                continue;
            }
            break;
        }
        move_blocks_directly(piece.get());
        // A piece that became the joined file itself (a link that led nowhere before the joined
        // file was created) would be read while it grows.
        bool is_joined = joined_identity && piece_identity == joined_identity;
        CopyResult appended =
            is_joined ? CopyResult::read_failed : append_piece(piece.get(), joined, buffer);
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
    if (!first_piece_exists(joined_name, width)) {
        print_message(MSG_FIRST_PIECE_MISSING, path);
        return 0;
    }
    platform::File joined = joined_name_leads_to_a_piece(joined_name, width)
                                ? nullptr
                                : platform::open_for_writing(joined_name);
    if (!joined) {
        print_message(MSG_JOINED_CREATE_FAILED);
        return 0;
    }
    move_blocks_directly(joined.get());
    CopyBuffer buffer = allocate_copy_buffer();
    if (!buffer) {
        print_message(MSG_OUT_OF_MEMORY);
        return 0;
    }
    if (append_pieces(joined_name, width, joined.get(), read_area(buffer)) == 0) {
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
