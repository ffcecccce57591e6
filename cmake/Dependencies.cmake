# GoogleTest: Debian's prebuilt libraries natively, its source for the cross build.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()

if(CMAKE_CROSSCOMPILING)
  # The import library would make the programs need zlib1.dll beside them.
  set(ZLIB_USE_STATIC_LIBS ON)
  find_library(ZLIB_LIBRARY NAMES libz.a REQUIRED)
endif()
find_package(ZLIB REQUIRED)

# libjpeg: Debian's package natively; for MinGW the static build for the
# target's processor that scripts/bootstrap.sh makes from Debian's source package.
if(CMAKE_CROSSCOMPILING)
  set(FX_JPEG_PREFIX ${CMAKE_SOURCE_DIR}/build/deps/libjpeg-turbo-mingw-${CMAKE_SYSTEM_PROCESSOR})
  if(NOT EXISTS ${FX_JPEG_PREFIX}/lib/libjpeg.a)
    message(FATAL_ERROR "libjpeg for MinGW ${CMAKE_SYSTEM_PROCESSOR} is missing; run scripts/bootstrap.sh")
  endif()
  add_library(fx_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(fx_jpeg PROPERTIES
    IMPORTED_LOCATION ${FX_JPEG_PREFIX}/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${FX_JPEG_PREFIX}/include)
else()
  find_package(JPEG REQUIRED)
  add_library(fx_jpeg INTERFACE)
  target_link_libraries(fx_jpeg INTERFACE JPEG::JPEG)
endif()
