// Version values: a version text as written, compared component by component as numbers.
#pragma once

#include <string>
#include <vector>

class Version {
  public:
    Version() = default;
    explicit Version(std::wstring text) : text_(std::move(text)) {}
    Version& operator=(const std::wstring& text) {
        text_ = text;
        return *this;
    }

    std::wstring text() const { return text_; }
    bool isEmpty() const { return text_.empty(); }

  private:
    std::wstring text_;
};

// 0 for equal texts; otherwise -1 or +1. Texts that differ only in the form of their numbers
// never compare equal, and with equal shared components the longer version is the greater.
int compareVersions(const Version& a, const Version& b);

// Pieces between separators, read as a stream reads lines: a separator at the very end adds
// nothing, every other separator ends a piece, empty or not.
std::vector<std::wstring> splitText(const std::wstring& text, wchar_t separator);
