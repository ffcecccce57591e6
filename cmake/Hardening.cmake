# What every program of a build is compiled with to make an overflow of a
# buffer stop the program rather than hand it to whoever wrote the bytes:
# - a stack cookie in each function that keeps an array or takes the address
#   of a local, checked before it returns;
# - the checked forms of memcpy, sprintf and the like wherever the compiler
#   knows the size of the destination; they exist only in optimised code,
#   so a debugging build goes without (a sanitizer or fuzz build checks more
#   still).
# MinGW's checks live in libssp, linked from its static archive, as the whole
# runtime is: a program that needed libssp-0.dll would look for it beside
# itself, where a planted one could be waiting.
# The 32-bit Windows programs also say that they install no structured
# exception handler, which is true: i686 MinGW unwinds C++ exceptions by
# DWARF tables, not SEH frames. Windows then calls no handler in them that an
# overwritten exception record could name.
# A shipped program starts at FxStartup (platform/win32/Win32Platform.cpp),
# which closes the search for DLLs to the system folder before the C runtime
# runs any constructor: libssp's, which seeds the stack cookies, loads the
# system's cryptography by name.
function(fx_restricted_entry target)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE -Wl,-e,_FxStartup)
  else()
    target_link_options(${target} PRIVATE -Wl,-e,FxStartup)
  endif()
endfunction()

if(FX_SANITIZE OR FX_FUZZ)
  return()
endif()
add_compile_options(-fstack-protector-strong)
add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
if(WIN32)
  add_link_options(-fstack-protector-strong)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_link_options(-Wl,--no-seh)
  endif()
endif()

