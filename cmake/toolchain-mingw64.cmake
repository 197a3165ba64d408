# Cross build for Windows x86-64 with Debian's mingw-w64 (posix threads, for
# std::thread and std::mutex). Tests run under wine64.
#   cmake -S . -B build-win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMD_ZEL_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${CMD_ZEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CMD_ZEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${CMD_ZEL_MINGW_TRIPLET}-windres)

# Libraries built for Windows (json-c, pugixml) are looked for in the
# prefixes given with CMAKE_PREFIX_PATH, never on the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${CMD_ZEL_MINGW_TRIPLET} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "")

# printf-style formats as C99 has them (%zu, %lld) in the C runtime's
# printf family, and the POSIX re-entrant time functions (localtime_r).
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1 _POSIX_THREAD_SAFE_FUNCTIONS=200112L _WIN32_WINNT=0x0601)

# The compiler's runtime (libgcc, libstdc++, winpthread) is linked statically,
# so the DLLs and programs need no DLL of the build machine's toolchain.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

find_program(CMD_ZEL_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(CMD_ZEL_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMD_ZEL_WINE64})
endif()
