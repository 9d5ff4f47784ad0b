# Installation on Linux: the program, its desktop entry and its icon in the usual places,
# and a check that an install into a scratch prefix gives exactly those files.
include(GNUInstallDirs)
install(TARGETS co2sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/co2sim.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/co2sim.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

if(CO2SIM_TESTS AND NOT CMAKE_CROSSCOMPILING)  # it starts the installed program
  add_test(NAME install_layout
           COMMAND ${CMAKE_SOURCE_DIR}/tests/install_check.sh ${CMAKE_BINARY_DIR}
                   ${CMAKE_BINARY_DIR}/install_check)
endif()
include(${CMAKE_SOURCE_DIR}/cmake/packaging.cmake)
