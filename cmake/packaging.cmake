# The Debian package: manual pages, AppStream metadata, copyright and changelog installed with
# the program, and CPack's DEB generator set up so `cpack -G DEB` gives co2sim_<version>_amd64.deb.
# The version comes from project(); the maintainer and the release date from the newest entry of
# packaging/changelog, so each is written once.

# Identity in the software centres; set these once the project has its public address.
set(CO2SIM_APP_ID "org.example.co2sim" CACHE STRING "AppStream component id (reverse DNS)")
set(CO2SIM_HOMEPAGE "https://example.org/co2sim" CACHE STRING "Home page named in the package metadata")
set(CO2SIM_SCREENSHOT_BASE "${CO2SIM_HOMEPAGE}/screenshots" CACHE STRING
    "Address under which docs/results.png and docs/entry.png are published")

set(_pkg_src ${CMAKE_SOURCE_DIR}/packaging)
set(_pkg_out ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${_pkg_out}/man/es)

# Newest changelog entry: "co2sim (VERSION) ...", then its trailer " -- NAME <MAIL>  DATE".
file(STRINGS ${_pkg_src}/changelog _changelog_lines)
list(GET _changelog_lines 0 _changelog_head)
string(REGEX MATCH "^co2sim \\(([^)]+)\\)" _ ${_changelog_head})
set(CO2SIM_CHANGELOG_VERSION "${CMAKE_MATCH_1}")
foreach(_line IN LISTS _changelog_lines)
  if(_line MATCHES "^ -- (.+ <[^>]+>)  (.+)$")
    set(CO2SIM_MAINTAINER "${CMAKE_MATCH_1}")
    set(_changelog_date "${CMAKE_MATCH_2}")
    break()
  endif()
endforeach()
if(NOT CO2SIM_CHANGELOG_VERSION STREQUAL PROJECT_VERSION)
  message(WARNING "packaging/changelog's newest entry is ${CO2SIM_CHANGELOG_VERSION}, the project is "
                  "${PROJECT_VERSION}: add an entry before packaging")
endif()
# "Mon, 07 Dec 2026 16:39:21 +0000" -> 2026-12-07
string(REGEX MATCH "([0-9]+) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9])" _ "${_changelog_date}")
set(_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND _months "${CMAKE_MATCH_2}" _month)
math(EXPR _month "${_month} + 1" OUTPUT_FORMAT DECIMAL)
string(LENGTH "${_month}" _len)
if(_len EQUAL 1)
  set(_month "0${_month}")
endif()
set(_day "${CMAKE_MATCH_1}")
string(LENGTH "${_day}" _len)
if(_len EQUAL 1)
  set(_day "0${_day}")
endif()
set(CO2SIM_RELEASE_DATE "${CMAKE_MATCH_3}-${_month}-${_day}")

configure_file(${_pkg_src}/co2sim.1.in ${_pkg_out}/man/co2sim.1 @ONLY)
configure_file(${_pkg_src}/co2sim.es.1.in ${_pkg_out}/man/es/co2sim.1 @ONLY)
configure_file(${_pkg_src}/co2sim.metainfo.xml.in ${_pkg_out}/${CO2SIM_APP_ID}.metainfo.xml @ONLY)
configure_file(${_pkg_src}/changelog ${_pkg_out}/changelog COPYONLY)
# The Windows zip's read-me, in the line ends its readers expect.
configure_file(${_pkg_src}/LEEME.txt.in ${_pkg_out}/LEEME.txt @ONLY NEWLINE_STYLE CRLF)

# Debian wants manual pages and changelogs compressed with gzip -9, without a time stamp.
foreach(_plain IN ITEMS man/co2sim.1 man/es/co2sim.1 changelog)
  execute_process(COMMAND gzip -9nc ${_pkg_out}/${_plain} OUTPUT_FILE ${_pkg_out}/${_plain}.gz
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()

install(FILES ${_pkg_out}/man/co2sim.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_pkg_out}/man/es/co2sim.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/es/man1)
install(FILES ${_pkg_out}/${CO2SIM_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_pkg_src}/copyright ${_pkg_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/co2sim)

# Bind every symbol at start-up so the relocations can be made read-only (lintian's hardening).
target_link_options(co2sim PRIVATE LINKER:-z,relro,-z,now)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME co2sim)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${CO2SIM_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scenario simulator for global CO2 emissions")
set(CPACK_PACKAGE_DESCRIPTION
    "An interactive simulator, with its screen in Spanish, of scenarios of\n"
    "the annual global emission of CO2 and the part of it that comes from\n"
    "forest fires. It draws a 1024x768 picture with a grid of 128x48 text\n"
    "cells in a window, full screen or in a text terminal.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CO2SIM_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${CO2SIM_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
