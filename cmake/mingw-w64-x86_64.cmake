# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (the posix
# flavour: the win32 one has no std::thread or std::mutex). Programs run
# through Wine where it is installed, so ctest and gtest_discover_tests
# work in the cross build.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 7 and later: the wide calls used need nothing newer.
add_compile_definitions(_WIN32_WINNT=0x0601 UNICODE _UNICODE)

find_program(PARCELO_WINE NAMES wine64 wine)
if(PARCELO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PARCELO_WINE})
endif()
