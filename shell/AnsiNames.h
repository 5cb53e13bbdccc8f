// Names in the ANSI code page. The system hands a name the code page cannot
// hold to the A functions changed (a near letter, or "?"), and the changed
// name reaches nothing: such a name is taken in its short (8.3) form, which
// the code page always holds. The program itself works with ANSI names only.
#pragma once

#include <windows.h>

#include <string>

namespace shell {

// The name an entry of a folder listing is reached by: its long name when
// the code page holds it, else its short name. Without a short name, the
// long name with "?" for each character the code page lacks.
std::string ReachableName(const WIN32_FIND_DATAW& entry);

// Whether a name from ReachableName reaches nothing ("?" is in no file name).
bool IsUnreachableName(const std::string& name);

// The process's current folder as ReachableName gives names; empty when a
// name in it has neither form.
std::string ReachableCurrentFolder();

// A text of the code page for the W functions.
std::wstring WideText(const std::string& text);

} // namespace shell
