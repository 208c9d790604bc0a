// Resource functions over the blobs linked into the binary: a found resource is its table
// entry, loading and freeing cost nothing, and the bytes are read-only data of the program.
#include "platform/posix/linked_resources.h"
#include "platform/resources.h"
#include "platform/text.h"

#include <string>

namespace platform {

ResourceInfo findResource(uint16_t type, uint16_t id) {
    for (size_t i = 0; i < kLinkedResourceCount; ++i) {
        if (kLinkedResources[i].type == type && kLinkedResources[i].id == id) {
            return const_cast<LinkedResource*>(&kLinkedResources[i]);
        }
    }
    return nullptr;
}

ResourceData loadResource(ResourceInfo info) {
    return info;
}

uint32_t sizeofResource(ResourceInfo info) {
    if (info == nullptr) {
        return 0;
    }
    const auto* resource = static_cast<const LinkedResource*>(info);
    return static_cast<uint32_t>(resource->end - resource->begin);
}

const void* lockResource(ResourceData data) {
    return data != nullptr ? static_cast<const LinkedResource*>(data)->begin : nullptr;
}

void freeResource(ResourceData) {}

std::wstring loadResourceString(uint16_t id, int maxChars) {
    constexpr uint16_t kStringType = 6;  // RT_STRING, as in the Windows build
    ResourceInfo info = findResource(kStringType, id);
    if (info == nullptr || maxChars <= 0) {
        return std::wstring();
    }
    const auto* bytes = static_cast<const char*>(lockResource(loadResource(info)));
    std::wstring text = utf8ToWide(std::string(bytes, sizeofResource(info)));
    if (text.size() >= static_cast<size_t>(maxChars)) {
        text.resize(static_cast<size_t>(maxChars) - 1);
    }
    return text;
}

}  // namespace platform
