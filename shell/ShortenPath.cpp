#include "shell/ShortenPath.h"

namespace shell {

namespace {

// Removes the name between the first and the second backslash; false when
// there are not two backslashes.
bool DropFirstFolderName(std::string& path) {
    const std::size_t first = path.find('\\');
    if (first == std::string::npos)
        return false;
    const std::size_t next = path.find('\\', first + 1);
    if (next == std::string::npos)
        return false;
    path.erase(first + 1, next - first);
    return true;
}

} // namespace

std::string ShortenPath(const std::string& path, std::uint8_t maxLength) {
    if (path.size() <= maxLength)
        return path;

    // Room for the "\..." that goes in afterwards.
    const long target = static_cast<long>(maxLength) - 4;
    std::string shortened = path;
    bool removed;
    do {
        removed = DropFirstFolderName(shortened);
    } while (removed && static_cast<long>(shortened.size()) > target);

    const std::size_t first = shortened.find('\\');
    if (first != std::string::npos)
        shortened.insert(first + 1, "...\\");

    return shortened.size() < path.size() ? shortened : path;
}

} // namespace shell
