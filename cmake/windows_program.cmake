# The Windows program (cross-built with cmake/mingw-w64-posix.cmake): the Windows platform
# library with its back-end table, co2sim.exe with its icon, and the test support it needs.
enable_language(RC)

# Pieces of the Windows back ends that include no system header; tests build them anywhere.
file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/win32/*.cpp)
list(FILTER WIN32_SOURCES EXCLUDE REGEX ".*/winmain\\.cpp$")
add_library(platform_win32 STATIC ${WIN32_SOURCES})
target_link_libraries(platform_win32 PUBLIC screen presentation_thread user32 gdi32 winmm)
co2sim_warnings(platform_win32)

# The icon: drawn by a generator at build time, compiled into the resource script.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(CO2SIM_ICON ${CMAKE_BINARY_DIR}/co2sim.ico)
add_custom_command(OUTPUT ${CO2SIM_ICON}
                   COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/make_icon.py ${CO2SIM_ICON}
                   DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_icon.py
                   COMMENT "Drawing the program icon")
configure_file(${CMAKE_SOURCE_DIR}/platform/win32/co2sim.rc.in ${CMAKE_BINARY_DIR}/co2sim.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/co2sim.rc PROPERTIES OBJECT_DEPENDS ${CO2SIM_ICON})

# WIN32: the GUI subsystem (-mwindows), no console window of its own.
add_executable(co2sim WIN32 platform/win32/winmain.cpp ${CMAKE_BINARY_DIR}/co2sim.rc)
target_link_libraries(co2sim PRIVATE simulator platform_win32)
co2sim_warnings(co2sim)
set(CO2SIM_PLATFORM_LIB platform_win32)

if(CO2SIM_TESTS)
  # GoogleTest from the sources Debian ships with libgtest-dev, built with this compiler.
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# Where a window of the program is, for the checks under wine (tests/win32/).
if(CO2SIM_TESTS)
  add_executable(window_probe ${CMAKE_SOURCE_DIR}/tests/win32/window_probe.cpp)
  co2sim_warnings(window_probe)
  # A program's exit status as the Windows side saw it (tests/win32/wine_run.sh).
  add_executable(exit_status ${CMAKE_SOURCE_DIR}/tests/win32/exit_status.cpp)
  co2sim_warnings(exit_status)
endif()
