# Cross compiling for Windows with the posix-thread MinGW-w64 compilers (the
# win32-thread variant of GCC 12 lacks std::thread and std::mutex). Included
# by the toolchain file of each target, which names the target's processor.
set(CMAKE_SYSTEM_NAME Windows)
set(fx_mingw ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${fx_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${fx_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${fx_mingw}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${fx_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
