# Cross-compiles for 64-bit ARM Linux with Debian's aarch64-linux-gnu compilers. Test
# programs run under qemu-user through scripts/qemu-aarch64.sh.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CO2SIM_CROSS_PREFIX aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${CO2SIM_CROSS_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${CO2SIM_CROSS_PREFIX}-g++)

# Only the cross libraries count: no host libpng, SDL or GoogleTest may leak in.
set(CMAKE_FIND_ROOT_PATH /usr/${CO2SIM_CROSS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${CO2SIM_CROSS_PREFIX}/pkgconfig)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/qemu-aarch64.sh)
