// Writing a resource to a file (the archiver's executable, before extraction).
#include "install/resource_file.h"

#include <fstream>

#include "core/product_profile.h"
#include "platform/files.h"
#include "platform/resources.h"

void extractResourceToFile(uint16_t id, uint16_t type, const std::wstring& fileName) {
    platform::ResourceInfo info = platform::findResource(type, id);
    if (info == nullptr) {
        return;
    }
    platform::ResourceData data = platform::loadResource(info);
    const uint32_t size = platform::sizeofResource(info);
    const void* bytes = platform::lockResource(data);
    if (bytes != nullptr) {
        std::ofstream out(platform::toPath(profile().korvane.installFolder + fileName),
                          std::ios::binary | std::ios::trunc);
        out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    }
    platform::freeResource(data);
}
