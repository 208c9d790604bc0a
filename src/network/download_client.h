// The download client: files from the download server's folder (downloadFolderUrl), into a
// file or into memory, the existence probe and the connection test. Each operation makes its
// own connection; failures are shown to the user before false is returned.
#pragma once

#include <cstddef>
#include <string>

bool isInternetConnected();

// downloadFolderUrl + urlPath + fileName into folder + fileName. True on success and on abort;
// a body shorter than the server announced, or a file that cannot be written, is a failure.
bool downloadToFile(const std::wstring& urlPath, const std::wstring& folder,
                    const std::wstring& fileName);
bool downloadToInstallFolder(const std::wstring& urlPath, const std::wstring& fileName);

// The body, one character per byte. With `maxBytes`, a longer body is a failure.
bool downloadToText(const std::wstring& urlPath, const std::wstring& fileName, std::wstring& text);
bool downloadToText(const std::wstring& urlPath, const std::wstring& fileName, std::wstring& text,
                    size_t maxBytes);

// True when the server answers with a status from 200 to 399; shows nothing.
bool remoteFileExists(const std::wstring& urlPath, const std::wstring& fileName);

// Makes a running downloadToFile stop after its current block.
void abortDownloads();
