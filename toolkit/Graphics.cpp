#include "toolkit/Graphics.h"

namespace toolkit {

int TBitmap::Width() const {
    BITMAP info{};
    return handle_ && GetObjectA(handle_.Get(), sizeof info, &info) ? info.bmWidth : 0;
}

int TBitmap::Height() const {
    BITMAP info{};
    return handle_ && GetObjectA(handle_.Get(), sizeof info, &info) ? info.bmHeight : 0;
}

} // namespace toolkit
