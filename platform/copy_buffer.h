// The copy buffer both engines move data through.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace tarvik {

// One buffer per file split or joined; every read fills at most its first COPY_CHUNK_BYTES.
inline constexpr std::size_t COPY_BUFFER_BYTES = 10485760;
inline constexpr std::size_t COPY_CHUNK_BYTES = 5242880;

using CopyBuffer = std::unique_ptr<unsigned char[]>;

// The copy buffer, or null when the memory cannot be had.
inline CopyBuffer allocate_copy_buffer() {
    return CopyBuffer(new (std::nothrow) unsigned char[COPY_BUFFER_BYTES]);
}

}  // namespace tarvik
