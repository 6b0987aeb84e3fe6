#include "files/whole_file_win.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <stdexcept>

#include "app/win_handles.h"

namespace varnelt {
namespace {

// Handles the program opens may be inherited, as a child process would expect.
SECURITY_ATTRIBUTES InheritableHandle() {
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof attributes;
  attributes.bInheritHandle = TRUE;
  return attributes;
}

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos) return L".";
  if (cut == 0 || (cut == 2 && path[1] == L':')) return path.substr(0, cut + 1);
  return path.substr(0, cut);
}

bool WriteAll(HANDLE file, const Bytes& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

Bytes ReadWholeFile(const std::wstring& name) {
  if (name.empty()) return {};
  SECURITY_ATTRIBUTES inherit = InheritableHandle();
  UniqueHandle file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
      static_cast<std::uint64_t>(size.QuadPart) >= kMaxReadBytes) {
    return {};
  }
  // The bytes go straight into the buffer handed back; a buffer that cannot be had means
  // no picture, not the end of the program.
  Bytes bytes;
  try {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return {};
  } catch (const std::length_error&) {
    return {};
  }
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return {};
  bytes.resize(read);  // the file may have shrunk meanwhile
  if (bytes.empty()) return {};
  return bytes;
}

bool WriteWholeFile(const std::wstring& name, std::initializer_list<const Bytes*> buffers) {
  if (name.empty()) return false;
  wchar_t temporary[MAX_PATH + 16] = {};
  if (GetTempFileNameW(FolderOf(name).c_str(), L"vnt", 0, temporary) == 0) return false;
  bool ok = false;
  {
    SECURITY_ATTRIBUTES inherit = InheritableHandle();
    UniqueHandle file(CreateFileW(temporary, GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      ok = true;
      for (const Bytes* buffer : buffers) {
        if (buffer != nullptr && !buffer->empty() && !WriteAll(file.get(), *buffer)) {
          ok = false;
          break;
        }
      }
      ok = ok && FlushFileBuffers(file.get()) != 0;
      ok = file.Close() && ok;
    }
  }
  if (ok) {
    // An existing target is replaced in one step and keeps its attributes (set again
    // afterwards, for systems whose replace does not carry them over); a new one is
    // moved into place.
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      ok = ReplaceFileW(name.c_str(), temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
      if (ok) SetFileAttributesW(name.c_str(), attributes);
    } else {
      ok = MoveFileExW(temporary, name.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    }
  }
  if (!ok) DeleteFileW(temporary);
  return ok;
}

}  // namespace varnelt
