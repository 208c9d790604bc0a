// Resource functions bound by name from kernel32.dll, loaded by its full path from the System
// folder; every forwarding function binds the whole set on first use.

#include <windows.h>

#include <atomic>

#include "platform/resources.h"
#include "platform/win32/system_library.h"

namespace platform {
namespace {

using FindResourceFn = HRSRC(WINAPI*)(HMODULE, LPCWSTR, LPCWSTR);
using LoadResourceFn = HGLOBAL(WINAPI*)(HMODULE, HRSRC);
using SizeofResourceFn = DWORD(WINAPI*)(HMODULE, HRSRC);
using LockResourceFn = LPVOID(WINAPI*)(HGLOBAL);
using FreeResourceFn = BOOL(WINAPI*)(HGLOBAL);

// Whichever thread binds first stores the same addresses, so relaxed atomics are enough.
std::atomic<FindResourceFn> findResourceEntry{nullptr};
std::atomic<LoadResourceFn> loadResourceEntry{nullptr};
std::atomic<SizeofResourceFn> sizeofResourceEntry{nullptr};
std::atomic<LockResourceFn> lockResourceEntry{nullptr};
std::atomic<FreeResourceFn> freeResourceEntry{nullptr};

template <typename Fn>
void bindEntry(HMODULE library, const char* name, std::atomic<Fn>& entry) {
    entry.store(reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name))),
                std::memory_order_relaxed);
}

void bindResourceFunctions() {
    HMODULE library = loadSystemLibrary(L"kernel32.dll");
    if (library == nullptr) {
        return;
    }
    bindEntry(library, "FindResourceW", findResourceEntry);
    bindEntry(library, "LoadResource", loadResourceEntry);
    bindEntry(library, "SizeofResource", sizeofResourceEntry);
    bindEntry(library, "LockResource", lockResourceEntry);
    bindEntry(library, "FreeResource", freeResourceEntry);
}

template <typename Fn>
Fn bound(std::atomic<Fn>& entry) {
    if (entry.load(std::memory_order_relaxed) == nullptr) {
        bindResourceFunctions();
    }
    return entry.load(std::memory_order_relaxed);
}

}  // namespace

ResourceInfo findResource(uint16_t type, uint16_t id) {
    FindResourceFn fn = bound(findResourceEntry);
    return fn ? fn(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type)) : nullptr;
}

ResourceData loadResource(ResourceInfo info) {
    LoadResourceFn fn = bound(loadResourceEntry);
    return fn ? fn(nullptr, static_cast<HRSRC>(info)) : nullptr;
}

uint32_t sizeofResource(ResourceInfo info) {
    SizeofResourceFn fn = bound(sizeofResourceEntry);
    return fn ? fn(nullptr, static_cast<HRSRC>(info)) : 0;
}

const void* lockResource(ResourceData data) {
    LockResourceFn fn = bound(lockResourceEntry);
    return fn ? fn(static_cast<HGLOBAL>(data)) : nullptr;
}

void freeResource(ResourceData data) {
    FreeResourceFn fn = bound(freeResourceEntry);
    if (fn) {
        fn(static_cast<HGLOBAL>(data));
    }
}

std::wstring loadResourceString(uint16_t id, int maxChars) {
    std::wstring buffer(static_cast<size_t>(maxChars), L'\0');
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, buffer.data(), maxChars);
    buffer.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return buffer;
}

}  // namespace platform
