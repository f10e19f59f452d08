// The copy buffer both engines move data through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>

namespace tarvik {

// One buffer per file split or joined; no read fills more than its first COPY_CHUNK_BYTES.
inline constexpr std::size_t COPY_BUFFER_BYTES = 10485760;
inline constexpr std::size_t COPY_CHUNK_BYTES = 5242880;

// What each read asks for. A block that stays in the processor's cache between the read that
// fills it and the write that empties it copies faster than one that streams through memory
// twice: 256 KiB measured best here, on disk and in memory (see BENCHMARKS.md).
inline constexpr std::size_t READ_BYTES = 262144;
static_assert(READ_BYTES <= COPY_CHUNK_BYTES);

// Where reads land: the kernel copies to and from a page-aligned block faster, and the buffer
// is far larger than a read, so its first page boundary leaves room enough.
inline constexpr std::size_t PAGE_BYTES = 4096;

using CopyBuffer = std::unique_ptr<unsigned char[]>;

// The copy buffer, or null when the memory cannot be had.
inline CopyBuffer allocate_copy_buffer() {
    return CopyBuffer(new (std::nothrow) unsigned char[COPY_BUFFER_BYTES]);
}

// The first page boundary in the buffer, where every read begins.
inline unsigned char* read_area(const CopyBuffer& buffer) {
    auto address = reinterpret_cast<std::uintptr_t>(buffer.get());
    return buffer.get() + (PAGE_BYTES - address % PAGE_BYTES) % PAGE_BYTES;
}
static_assert(READ_BYTES + PAGE_BYTES <= COPY_CHUNK_BYTES);

// A stream buffer would add a copy to every block and cut it in two (a buffer's worth, then the
// rest): without one, each read and write goes straight to the file, exactly as large as the
// block.
inline void move_blocks_directly(std::FILE* stream) {
    std::setvbuf(stream, nullptr, _IONBF, 0);
}

}  // namespace tarvik
