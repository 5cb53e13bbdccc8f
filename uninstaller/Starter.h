// The program that started the uninstaller: it ends just after starting it,
// and its own files are in use until then.
#pragma once

#include "uninstaller/UninstallLog.h"

#include <windows.h>

#include <string>

namespace gluninst {

// Waits, at most limitMs, for the process that started this one to end, when
// its program file lies in the plan's folder (under any name). That program
// file, or empty when there was none to wait for.
std::string AwaitStarter(const RemovalPlan& plan, DWORD limitMs);

} // namespace gluninst
