// GLIMR32.EXE: the program's entry.
#include "program/StartUp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return program::RunProgram(program::FirstParameter(GetCommandLineA()));
}
