# The Debian package: `cpack --config build/CPackConfig.cmake` (./tesselo.sh
# package) lays the program out as an installed application:
#   /usr/bin/tesselo                               the program
#   /usr/lib/<multiarch>/tesselo/tesselo_cube.so, tesselo_progress.so   its plugins
#   /usr/share/tesselo/Images/OLL-2, PLL-2, PLL-2-sides   the Hard picture library
#   /usr/share/applications/<id>.desktop, /usr/share/metainfo/<id>.metainfo.xml
#   /usr/share/icons/hicolor/<size>/apps/tesselo.png
#   /usr/share/man/man1/tesselo.1.gz
#   /usr/share/doc/tesselo/copyright, changelog.gz
# The program finds its plugins and pictures relative to its executable
# (app/filelocations.h), so the same build serves the portable folder too.
# These rules belong to the component "system", left out of a plain
# `cmake --install`, which makes the portable folder.

include(GNUInstallDirs)

# Where the package puts things, below the prefix /usr. The multiarch folder
# is Debian's (lib/x86_64-linux-gnu), whatever prefix the build was given.
set(TESSELO_SYSTEM_BIN_DIR bin)
set(TESSELO_SYSTEM_PLUGIN_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/tesselo)
set(TESSELO_SYSTEM_DATA_DIR share/tesselo)
# The installed program finds them from its own folder (app/filelocations.cpp).
file(RELATIVE_PATH plugins_from_bin /usr/${TESSELO_SYSTEM_BIN_DIR} /usr/${TESSELO_SYSTEM_PLUGIN_DIR})
file(RELATIVE_PATH data_from_bin /usr/${TESSELO_SYSTEM_BIN_DIR} /usr/${TESSELO_SYSTEM_DATA_DIR})
target_compile_definitions(tesselo_core PRIVATE TESSELO_PLUGIN_DIR_FROM_BIN="${plugins_from_bin}"
  TESSELO_DATA_DIR_FROM_BIN="${data_from_bin}")

# The AppStream identity and the project's web address. Placeholders until
# the project has a home of its own: AppStream asks for a reverse domain name
# as the identity and for web addresses of the screenshots.
set(TESSELO_APPSTREAM_ID "example.tesselo.tesselo" CACHE STRING "AppStream component id (reverse domain name)")
set(TESSELO_PROJECT_URL "https://tesselo.example" CACHE STRING "The project's web address (screenshots below /screenshots)")
set(TESSELO_MAINTAINER "Tesselo maintainers <maintainers@users.noreply.c-seed-7e737da9.example>"
  CACHE STRING "The package's maintainer")

set(PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
set(component COMPONENT system EXCLUDE_FROM_ALL)

install(TARGETS tesselo RUNTIME DESTINATION ${TESSELO_SYSTEM_BIN_DIR} ${component})
install(TARGETS tesselo_cube tesselo_progress LIBRARY DESTINATION ${TESSELO_SYSTEM_PLUGIN_DIR} ${component})
install(DIRECTORY ${CMAKE_BINARY_DIR}/Images/OLL-2 ${CMAKE_BINARY_DIR}/Images/PLL-2
    ${CMAKE_BINARY_DIR}/Images/PLL-2-sides
  DESTINATION ${TESSELO_SYSTEM_DATA_DIR}/Images ${component}
  FILES_MATCHING PATTERN "*.gif")

# The desktop entry: the portable folder's, pointing at the installed program
# and the theme's icon.
file(READ ${CMAKE_SOURCE_DIR}/tools/tesselo.desktop.in desktop_entry)
string(REPLACE "Exec=\"@FOLDER@/tesselo\"" "Exec=tesselo" desktop_entry "${desktop_entry}")
string(REPLACE "Icon=@FOLDER@/tesselo.png" "Icon=tesselo" desktop_entry "${desktop_entry}")
string(REGEX REPLACE "Path=[^\n]*\n" "" desktop_entry "${desktop_entry}")
# One main category, so that menus list it once.
string(REPLACE "Categories=Education;Game;" "Categories=Education;" desktop_entry "${desktop_entry}")
string(APPEND desktop_entry "Keywords=cube;speedcubing;OLL;PLL;timer;\n")
file(WRITE ${PACKAGING_DIR}/${TESSELO_APPSTREAM_ID}.desktop "${desktop_entry}")
install(FILES ${PACKAGING_DIR}/${TESSELO_APPSTREAM_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications ${component})

set(APPSTREAM_ID ${TESSELO_APPSTREAM_ID})
set(SCREENSHOT_URL ${TESSELO_PROJECT_URL}/screenshots)
set(VERSION ${PROJECT_VERSION})
set(MAINTAINER ${TESSELO_MAINTAINER})
configure_file(${CMAKE_SOURCE_DIR}/packaging/tesselo.metainfo.xml.in
  ${PACKAGING_DIR}/${TESSELO_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${PACKAGING_DIR}/${TESSELO_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo ${component})

foreach(size ${TESSELO_ICON_SIZES})
  install(FILES ${CMAKE_BINARY_DIR}/resources/generated/icon-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps RENAME tesselo.png ${component})
endforeach()

# The man page and the changelog, compressed as Debian wants them
# (gzip -n: no name or time stamp, so the package is reproducible).
configure_file(${CMAKE_SOURCE_DIR}/packaging/tesselo.1 ${PACKAGING_DIR}/tesselo.1 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog ${PACKAGING_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${PACKAGING_DIR}/tesselo.1.gz ${PACKAGING_DIR}/changelog.gz
  COMMAND gzip -9nf -k ${PACKAGING_DIR}/tesselo.1 ${PACKAGING_DIR}/changelog
  DEPENDS ${PACKAGING_DIR}/tesselo.1 ${PACKAGING_DIR}/changelog
  VERBATIM)
add_custom_target(tesselo_package_files ALL DEPENDS ${PACKAGING_DIR}/tesselo.1.gz ${PACKAGING_DIR}/changelog.gz)
install(FILES ${PACKAGING_DIR}/tesselo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 ${component})
install(FILES ${PACKAGING_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tesselo ${component})

# The copyright file: the program's licence, then the credits of THIRD-PARTY.md.
file(READ ${CMAKE_SOURCE_DIR}/packaging/copyright.in copyright_text)
file(READ ${CMAKE_SOURCE_DIR}/THIRD-PARTY.md third_party)
file(WRITE ${PACKAGING_DIR}/copyright "${copyright_text}${third_party}")
install(FILES ${PACKAGING_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tesselo ${component})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tesselo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tesselo")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "last-layer trainer for the 3x3x3 cube")
set(CPACK_DEBIAN_SYSTEM_DESCRIPTION "Tesselo drills the 57 OLL and 21 PLL cases of the last layer of the\ncube against the clock: the picture of a random enabled case appears and a\nseven-segment stopwatch counts until you stop it. Easy and Hard levels,\nan exam, setup scrambles for a real cube, and charts of every time.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL system)
find_program(DPKG_PROGRAM dpkg)
if(DPKG_PROGRAM)
  execute_process(COMMAND ${DPKG_PROGRAM} --print-architecture
    OUTPUT_VARIABLE TESSELO_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE)
else()
  set(TESSELO_DEB_ARCH unknown)
endif()
set(CPACK_DEBIAN_SYSTEM_PACKAGE_NAME tesselo)
set(CPACK_DEBIAN_SYSTEM_FILE_NAME tesselo_${PROJECT_VERSION}_${TESSELO_DEB_ARCH}.deb)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${TESSELO_DEB_ARCH})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TESSELO_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries it needs are read off the program and its plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
