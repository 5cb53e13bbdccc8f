// The zlib inflater on arbitrary bytes: the first two give the output size.
#include "inflate.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const size_t outSize = (size_t{data[0]} << 8 | data[1]) * 16 + 1;
    std::vector<uint8_t> out(outSize);
    sky::ZlibInflate(data + 2, size - 2, out.data(), out.size());
    return 0;
}
