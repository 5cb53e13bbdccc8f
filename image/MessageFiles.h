// Scrolling-message (".SCM") and credit (".CMS") files read from disk.
#pragma once

#include "image/MessageText.h"
#include "toolkit/Color.h"
#include "toolkit/Font.h"

#include <string>
#include <vector>

namespace image {

// The files themselves: false only when there is no such file; a file that
// cannot be opened raises EFOpenError "Kann Datei %s nicht öffnen".
bool ParseScrollFile(const std::string& path, toolkit::TFont& font, int& speed,
                     toolkit::TColor& background, std::string& message);
bool ParseCreditFile(const std::string& path, toolkit::TFont& font, int& speed,
                     toolkit::TColor& background, std::vector<std::string>& lines);

} // namespace image
