# Cross-compiles the Windows program with Debian's mingw-w64 posix-thread compilers (the
# win32-thread ones lack std::thread and std::mutex in GCC 12); links everything statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CO2SIM_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${CO2SIM_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CO2SIM_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${CO2SIM_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${CO2SIM_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Without -static the program would need libwinpthread-1.dll and the GCC runtime DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test executables run through wine when ctest starts them, with the exit status the
# Windows side saw (tests/win32/wine_run.sh says why).
find_program(CO2SIM_WINE wine)
if(CO2SIM_WINE)
  cmake_path(SET CO2SIM_WINE_RUN NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/../tests/win32/wine_run.sh")
  set(CMAKE_CROSSCOMPILING_EMULATOR bash ${CO2SIM_WINE_RUN})
endif()
