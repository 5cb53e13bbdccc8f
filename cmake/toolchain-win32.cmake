# The shipped program: i386; its tests run under wine32 through qemu-user.
# The products are built with the win32 thread model: its static runtime
# imports nothing newer than Windows 2000 (the posix one's thread library
# imports GetTickCount64). GoogleTest needs std::mutex, which only the posix
# compilers have in this version: a build with tests keeps those.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES GLIMMORA_TESTS)
if(DEFINED GLIMMORA_TESTS AND NOT GLIMMORA_TESTS)
    set(glim_thread_model win32)
else()
    set(glim_thread_model posix)
endif()
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${glim_thread_model})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${glim_thread_model})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
