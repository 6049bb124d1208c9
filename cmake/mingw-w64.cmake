# Toolchain file: 64-bit Windows programs built on Debian with MinGW-w64
# (the posix thread model, so std::thread and std::mutex work), against the
# libraries scripts/build-windows-deps.sh builds into build-windows/deps/prefix.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#
# VARNELO_WINDOWS_DEPS (environment) points at another prefix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VARNELO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VARNELO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNELO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNELO_MINGW_TRIPLE}-windres)
set(CMAKE_AR /usr/bin/${VARNELO_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${VARNELO_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

if(DEFINED ENV{VARNELO_WINDOWS_DEPS})
  set(VARNELO_WINDOWS_DEPS $ENV{VARNELO_WINDOWS_DEPS})
else()
  get_filename_component(VARNELO_WINDOWS_DEPS ${CMAKE_CURRENT_LIST_DIR}/../build-windows/deps/prefix ABSOLUTE)
endif()

# Libraries, headers and CMake packages come only from the MinGW sysroot and
# the prefix, never from the host's /usr: the host's are Linux builds. The
# header-only packages (GLM, stb, utfcpp) are linked into the prefix.
set(CMAKE_FIND_ROOT_PATH /usr/${VARNELO_MINGW_TRIPLE} ${VARNELO_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${VARNELO_WINDOWS_DEPS}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# One static GLEW inside the program (its config then defines GLEW_STATIC).
set(GLEW_USE_STATIC_LIBS ON)
# zlib as the static archive of libz-mingw-w64-dev, not its DLL's import library.
set(ZLIB_LIBRARY ${CMAKE_SYSROOT}/usr/${VARNELO_MINGW_TRIPLE}/lib/libz.a CACHE FILEPATH "")
set(ZLIB_INCLUDE_DIR ${CMAKE_SYSROOT}/usr/${VARNELO_MINGW_TRIPLE}/include CACHE PATH "")

# The compiler's own libraries (libstdc++, libgcc, winpthread) go into each
# program, so no compiler DLL has to travel with it. The prefix's lib folder
# is searched because static Assimp names minizip by its bare name.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -L${VARNELO_WINDOWS_DEPS}/lib")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -L${VARNELO_WINDOWS_DEPS}/lib")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
