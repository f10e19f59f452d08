// Cutting a source file into pieces of planned sizes, each a plain slice of the source's bytes.
#include <algorithm>
#include <new>
#include <optional>
#include <string>

#include "cli/messages.h"
#include "naming/naming.h"
#include "platform/copy_buffer.h"
#include "platform/platform.h"
#include "split/split.h"

namespace tarvik {
namespace {

using PieceSizes = std::unique_ptr<std::int64_t[]>;

// The open source, and what tells it from other files (null when that cannot be told).
struct Source {
    std::FILE* file;
    const platform::FileIdentity* identity;
};

// Whether a valid request cuts a source of source_size bytes into pieces that all have names;
// prints why not.
bool request_fits(const SplitSpec& spec, std::int64_t source_size) {
    if (spec.piece_size >= source_size) {
        print_message(MSG_NO_SPLIT_NEEDED);
        return false;
    }
    std::int64_t pieces = spec.piece_count != 0
                              ? spec.piece_count
                              : (source_size + spec.piece_size - 1) / spec.piece_size;
    if (pieces > MAX_PIECES) {
        print_message(MSG_TOO_MANY_PIECES);
        return false;
    }
    return true;
}

// Count mode: the first source_size % count pieces get one byte more than the others, so the
// sizes add up to the source. Null when the table cannot be had.
PieceSizes plan_piece_sizes(std::int64_t count, std::int64_t source_size) {
    PieceSizes sizes(new (std::nothrow) std::int64_t[static_cast<std::size_t>(count)]);
    if (sizes) {
        std::int64_t base = source_size / count;
        std::int64_t longer = source_size % count;
        for (std::int64_t i = 0; i < count; ++i) {
            sizes[i] = i < longer ? base + 1 : base;
        }
    }
    return sizes;
}

enum class CopyResult { complete, source_ended, read_failed, write_failed };

// Copies up to planned bytes from source to piece, reads of at most READ_BYTES each.
CopyResult copy_piece(std::FILE* source, std::FILE* piece, std::int64_t planned,
                      unsigned char* buffer, std::int64_t& total_read) {
    for (std::int64_t progress = 0; progress < planned;) {
        std::size_t wanted = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(READ_BYTES), planned - progress));
        std::size_t got = std::fread(buffer, 1, wanted, source);
        if (got == 0) {
            return std::ferror(source) ? CopyResult::read_failed : CopyResult::source_ended;
        }
        total_read += static_cast<std::int64_t>(got);
        if (std::fwrite(buffer, 1, got, piece) != got) {
            return CopyResult::write_failed;
        }
        progress += static_cast<std::int64_t>(got);
    }
    return CopyResult::complete;
}

// Creates a piece, refusing a name that leads back to the source: creating it would empty the
// source before it is read.
platform::File create_piece(const std::wstring& name, const platform::FileIdentity* source) {
    platform::File piece = platform::open_for_writing(name, source);
    if (piece) {
        move_blocks_directly(piece.get());
    }
    return piece;
}

// Writes the pieces one after another until the source's size has been read or it ends.
int write_pieces(const std::wstring& path, const Source& source, std::int64_t source_size,
                 const SplitSpec& spec, const std::int64_t* count_sizes, unsigned char* buffer) {
    std::wstring name;
    std::int64_t total_read = 0;
    for (std::int32_t index = 1;; ++index) {
        compose_piece_name(path, index, SPLIT_SUFFIX_WIDTH, name);
        platform::File piece = create_piece(name, source.identity);
        if (!piece) {
            print_message(MSG_PIECE_CREATE_FAILED);
            return 0;
        }
        print_message(MSG_ECHO_NAME, name.c_str());
        // Reading no more than the size taken at the start keeps a growing source within the
        // planned pieces.
        std::int64_t planned = count_sizes != nullptr
                                   ? count_sizes[index - 1]
                                   : std::min(spec.piece_size, source_size - total_read);
        CopyResult copied = copy_piece(source.file, piece.get(), planned, buffer, total_read);
        if (copied == CopyResult::read_failed) {
            print_message(MSG_SOURCE_READ_FAILED, path.c_str());
            return 0;
        }
        if (copied == CopyResult::write_failed || !platform::close_file(piece)) {
            print_message(MSG_PIECE_WRITE_FAILED, name.c_str());
            return 0;
        }
        if (copied == CopyResult::source_ended || total_read == source_size) {
            return 1;
        }
    }
}

int split_opened_file(const std::wstring& path, const Source& source, const wchar_t* spec_text) {
    SplitSpec spec = parse_split_spec(spec_text);
    if (spec.piece_size < 1) {
        print_message(MSG_BAD_SPLIT_SPEC);
        return 0;
    }
    // The size is taken once: the plan and the end of the split both rest on it.
    std::int64_t source_size = platform::file_size(source.file);
    if (source_size < 0) {
        print_message(MSG_SOURCE_READ_FAILED, path.c_str());
        return 0;
    }
    if (!request_fits(spec, source_size)) {
        return 0;
    }
    PieceSizes count_sizes;
    if (spec.piece_count != 0) {
        count_sizes = plan_piece_sizes(spec.piece_count, source_size);
        if (!count_sizes) {
            print_message(MSG_OUT_OF_MEMORY);
            return 0;
        }
    }
    CopyBuffer buffer = allocate_copy_buffer();
    if (!buffer) {
        print_message(MSG_OUT_OF_MEMORY);
        return 0;
    }
    return write_pieces(path, source, source_size, spec, count_sizes.get(), read_area(buffer));
}

}  // namespace

int split_file(const wchar_t* path, const wchar_t* spec_text) {
    if (path == nullptr || spec_text == nullptr) {
        return 0;
    }
    try {
        std::wstring source_path(path);
        std::optional<platform::FileIdentity> identity;
        platform::File source = platform::open_for_reading(source_path, &identity);
        if (!source) {
            print_message(MSG_SOURCE_OPEN_FAILED, path);
            return 0;
        }
        move_blocks_directly(source.get());
        return split_opened_file(source_path, Source{source.get(), identity ? &*identity : nullptr},
                                 spec_text);
    } catch (const std::bad_alloc&) {
        // Only a name can fail to grow here; everything opened is closed on the way out.
        print_message(MSG_OUT_OF_MEMORY);
        return 0;
    }
}

}  // namespace tarvik
