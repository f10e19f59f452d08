// Rebuilding one file from its pieces.
#pragma once

#include <cstdint>

namespace tarvik {

// Joins the pieces of the first piece at path, whose suffix has the given width, into the file
// named like path without its last '.' and suffix, and names that file on standard output.
// Pieces are taken from index 0 upward; a missing index 0 is passed over, and the first other
// missing index ends the join. Returns 1 on success; 0 after printing the one message that says
// why not.
int join_pieces(const wchar_t* path, std::int32_t width);

}  // namespace tarvik
