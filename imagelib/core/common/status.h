// Status codes of the library entries. The low 16 bits, read unsigned, are the
// string table id of the failure text (see sky32dem.rc).
#pragma once

namespace sky {

enum class Status : int {
    Ok = 1,
    Failed = 0,
    FileNotFound = -1,
    FileUnreadable = -2,
    UnknownFormat = -3,
    Unsupported = -4,
    Corrupt = -5,
    TooLarge = -6,
    OutOfMemory = -7,
    InvalidArgument = -8,
    DecoderFailed = -9,
    BitmapFailed = -10,
    DecoderMissing = -11,
    WrongFormat = -12,
};

constexpr bool Succeeded(Status s) {
    return static_cast<int>(s) >= 1;
}
constexpr int ToInt(Status s) {
    return static_cast<int>(s);
}

} // namespace sky
