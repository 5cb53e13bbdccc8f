#include "picture_file.h"

namespace sky {

namespace {

Status OpenForReading(const char* path, UniqueHandle& file, uint64_t& size) {
    if (!path || !*path)
        return Status::InvalidArgument;
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Status::FileNotFound;
    file = UniqueHandle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? Status::FileNotFound
                   : Status::FileUnreadable;
    }
    LARGE_INTEGER length;
    if (!GetFileSizeEx(file.Get(), &length))
        return Status::FileUnreadable;
    size = static_cast<uint64_t>(length.QuadPart);
    return Status::Ok;
}

} // namespace

Status PictureFile::Open(const char* path) {
    uint64_t size = 0;
    Status s = OpenForReading(path, file_, size);
    if (!Succeeded(s))
        return s;
    if (size == 0)
        return Status::Corrupt;
    if (size > kMaxFileSize)
        return Status::TooLarge;
    mapping_ = UniqueHandle(CreateFileMappingA(file_.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping_)
        return Status::FileUnreadable;
    view_ = MappedView(MapViewOfFile(mapping_.Get(), FILE_MAP_READ, 0, 0, 0));
    if (!view_.Get())
        return GetLastError() == ERROR_NOT_ENOUGH_MEMORY ? Status::OutOfMemory
                                                         : Status::FileUnreadable;
    size_ = static_cast<size_t>(size);
    return Status::Ok;
}

Status FileSource::Open(const char* path) {
    return OpenForReading(path, file_, size_);
}

size_t FileSource::ReadAt(uint64_t offset, void* buffer, size_t length) {
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    if (!ReadFile(file_.Get(), buffer, static_cast<DWORD>(length), &read, &at))
        return 0;
    return read;
}

} // namespace sky
