# 64-bit Windows: the same programs, tested under 64-bit Wine where a machine
# cannot execute 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
