// File-name extensions: the key the program dispatches on and the picture set
// the browser offers.
#pragma once

#include <string>

namespace shell {

// From the last "." after the last "\" and ":", upper-cased (a-z only) and
// cut to four characters, dot included; empty when there is no such dot.
std::string ExtensionKey(const std::string& path);

// True for ".JPG", ".BMP", ".GIF", ".WMF", ".ICO", ".PCX" and ".TIF".
bool IsSupportedExtension(const std::string& path);

} // namespace shell
