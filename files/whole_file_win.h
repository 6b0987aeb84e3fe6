#pragma once
// Moving whole files between the disk and byte buffers.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace varnelt {

using Bytes = std::vector<std::uint8_t>;

// Files of this size or more are not read: nothing the program loads is that large, and a
// buffer of it could not be had in a 32-bit process anyway.
inline constexpr std::uint64_t kMaxReadBytes = std::uint64_t{1} << 31;

// The file's exact bytes, or the empty buffer: for an empty name, a file that cannot be
// opened for reading (missing, a folder, locked for writing by another program), an empty
// file, one of kMaxReadBytes or more, or no memory for the buffer.
Bytes ReadWholeFile(const std::wstring& name);

// Writes the buffers, in order, as the whole new content of the named file. The content
// goes to a temporary file in the same folder first, which then replaces the target in one
// step, so the target is either the complete new file or exactly what it was before: a
// target that cannot be replaced (read-only, in use, its folder gone, a full disk) is left
// untouched, the temporary file is removed, and the result is false.
bool WriteWholeFile(const std::wstring& name, std::initializer_list<const Bytes*> buffers);

}  // namespace varnelt
