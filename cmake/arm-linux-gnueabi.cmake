# 32-bit ARM, EABI soft-float, with Debian's cross compiler. Programs run under
# user-mode qemu against Debian's armel libraries (multiarch), which also bring the
# C library's code-page modules.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_C_COMPILER arm-linux-gnueabi-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabi-g++)
set(CMAKE_C_FLAGS_INIT "-mfloat-abi=soft")
# -Wno-psabi: GCC notes that an old compiler passed some library iterators differently;
# every part of this build comes from the one compiler.
set(CMAKE_CXX_FLAGS_INIT "-mfloat-abi=soft -Wno-psabi")

set(CMAKE_FIND_ROOT_PATH /usr/arm-linux-gnueabi)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm)
set(KORVAN_DRIVER_NAME "Korvan_ARMV4" CACHE STRING "File name of the driver, without .drv")
