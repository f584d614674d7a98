# Cross-building for 32-bit ARM with hard float (Debian's armhf) with the
# compilers of crossbuild-essential-armhf, against a folder of Debian's armhf
# libraries that scripts/armhf_sysroot.sh unpacks:
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/armhf.cmake \
#         -DZARN_ARMHF_SYSROOT=$PWD/build-armhf/sysroot
# The programs run under qemu-arm on a Cortex-A9 (ARMv7 with NEON): CMake puts
# it in front of the tools that make the data during the build and of every
# test program in ctest.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(ZARN_ARMHF_SYSROOT "" CACHE PATH "Folder of unpacked armhf packages (scripts/armhf_sysroot.sh)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZARN_ARMHF_SYSROOT)
if(NOT IS_DIRECTORY "${ZARN_ARMHF_SYSROOT}/usr/lib/arm-linux-gnueabihf")
  message(FATAL_ERROR "ZARN_ARMHF_SYSROOT must name the folder scripts/armhf_sysroot.sh made")
endif()
set(triple arm-linux-gnueabihf)

set(CMAKE_C_COMPILER ${triple}-gcc)
set(CMAKE_CXX_COMPILER ${triple}-g++)
set(CMAKE_SYSROOT ${ZARN_ARMHF_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The libraries' own dependencies (SDL's ALSA, PulseAudio, X11, ...) are found
# by the linker in the folder too.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-Wl,-rpath-link,${CMAKE_SYSROOT}/lib/${triple} -Wl,-rpath-link,${CMAKE_SYSROOT}/usr/lib/${triple}")

# pkg-config reads the folder's .pc files and prefixes their paths with it.
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${CMAKE_SYSROOT})
set(ENV{PKG_CONFIG_LIBDIR} "${CMAKE_SYSROOT}/usr/lib/${triple}/pkgconfig:${CMAKE_SYSROOT}/usr/share/pkgconfig")
unset(ENV{PKG_CONFIG_PATH})

find_program(ZARN_QEMU_ARM qemu-arm REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZARN_QEMU_ARM} -L ${CMAKE_SYSROOT} -cpu cortex-a9)

# GCC notes on every vector of 64-bit values that its calling convention for
# them changed in GCC 7.1; all of this is built by one compiler, so the note
# tells nothing.
set(CMAKE_CXX_FLAGS_INIT "-Wno-psabi")
