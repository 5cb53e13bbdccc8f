// One header reader of the information query, chosen by FUZZ_MAGIC: the
// input is put behind the format's signature so that it always reaches it.
#include "info.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char magic[] = FUZZ_MAGIC;
    const size_t magicLength = sizeof magic - 1;
    std::vector<uint8_t> file(data, data + size);
    if (file.size() < magicLength || std::memcmp(file.data(), magic, magicLength) != 0)
        file.insert(file.begin(), magic, magic + magicLength);
    sky::MemorySource source(file.data(), file.size());
    sky::PictureInfo info;
    sky::ReadPictureInfo(source, info);
    if (info.description.size() > sky::kDescriptionMax)
        __builtin_trap();
    return 0;
}
