# Shared by the MinGW-w64 toolchain files; they set TARNWICK_MINGW_TRIPLET first.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread flavour first: it is the one whose libstdc++ has std::thread and
# std::mutex, which GoogleTest wants. Without a suffix is whatever the system's
# alternatives point at.
find_program(CMAKE_C_COMPILER NAMES ${TARNWICK_MINGW_TRIPLET}-gcc-posix ${TARNWICK_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TARNWICK_MINGW_TRIPLET}-g++-posix ${TARNWICK_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TARNWICK_MINGW_TRIPLET}-windres)

# Libraries and headers of the target only, never the build machine's; programs are the
# build machine's.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${TARNWICK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -O2 rather than CMake's -O3 for Release: at -O3, GCC 12 inlines std::string far enough to
# raise false -Wrestrict alarms (GCC bug 105329), which -Werror builds cannot pass.
# (A cache entry: CMake would add its own -O3 to an _INIT value.)
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags for Release builds")

# One self-contained .exe: no libstdc++, libgcc or winpthread DLL to ship beside it (or to
# hunt for under Wine). No link time in its header either: the same sources give the same
# programs, and with them the same installer.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
# A release build ships without its symbol tables: they are nearly half of each program.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
