// A file written as raw bytes, with the system's own reason when creating or writing it fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() { close(); }

    // Creates the file, or empties an existing one.
    bool open(const std::wstring& path);
    // Writes all `size` bytes.
    bool write(const void* data, size_t size);
    // Closes the file (again is harmless); false when the last writes could not be completed.
    bool close();

    // Why the last failed operation failed, in the system's words.
    const std::wstring& errorText() const { return errorText_; }

  private:
    intptr_t handle_ = -1;  // a file descriptor, or a HANDLE on Windows
    std::wstring errorText_;
};

}  // namespace platform
