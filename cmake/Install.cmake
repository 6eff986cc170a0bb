# Installation and the Debian package: only the game itself is installed, with
# a desktop entry, icons drawn from the game's own pictures, a manual page in
# section 6 and the font's licence.
#
#   cmake --install build --prefix /usr/local     (or DESTDIR=... for staging)
#   cd build && cpack                              (chromelly_<version>_<arch>.deb)
include(GNUInstallDirs)

# The icon: a fan's head drawn from the pictures by a small program at build time.
set(CHROMELLY_ICON_SIZES 48 64 128 256)
add_executable(chromelly_icon tools/icon/main.cpp)
target_link_libraries(chromelly_icon PRIVATE chromelly_platform)
set(CHROMELLY_ICON_DIR "${CMAKE_BINARY_DIR}/icons")
set(CHROMELLY_ICON_FILES "")
foreach(size IN LISTS CHROMELLY_ICON_SIZES)
  list(APPEND CHROMELLY_ICON_FILES "${CHROMELLY_ICON_DIR}/${size}/chromelly.png")
endforeach()
add_custom_command(
  OUTPUT ${CHROMELLY_ICON_FILES}
  COMMAND chromelly_icon "${CMAKE_SOURCE_DIR}/assets" "${CHROMELLY_ICON_DIR}" ${CHROMELLY_ICON_SIZES}
  DEPENDS chromelly_icon "${CMAKE_SOURCE_DIR}/assets/body.png" "${CMAKE_SOURCE_DIR}/assets/face7.png"
          "${CMAKE_SOURCE_DIR}/assets/hair3.png" "${CMAKE_SOURCE_DIR}/assets/hat.png"
  COMMENT "Drawing the desktop icons"
  VERBATIM)
add_custom_target(chromelly_icons ALL DEPENDS ${CHROMELLY_ICON_FILES})

install(TARGETS chromelly RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES "${CMAKE_SOURCE_DIR}/data/chromelly.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
foreach(size IN LISTS CHROMELLY_ICON_SIZES)
  install(FILES "${CHROMELLY_ICON_DIR}/${size}/chromelly.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()
install(FILES "${CMAKE_SOURCE_DIR}/data/chromelly.6" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")
install(FILES "${CMAKE_SOURCE_DIR}/assets/VERA-COPYRIGHT.txt" "${CMAKE_SOURCE_DIR}/README.md"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/chromelly")

# The Debian package. Depends is computed from the executable by dpkg-shlibdeps (dpkg-dev).
if(NOT PROJECT_VERSION)
  set(CHROMELLY_PACKAGE_VERSION 0.1.0)
else()
  set(CHROMELLY_PACKAGE_VERSION "${PROJECT_VERSION}")
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME chromelly)
set(CPACK_PACKAGE_VERSION "${CHROMELLY_PACKAGE_VERSION}")
set(CPACK_PACKAGE_VENDOR "Chromelly")
set(CPACK_PACKAGE_CONTACT "Chromelly developers <chromelly@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "colour-mixing strategy game")
# CPack puts the summary first and indents these lines as the long description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A crowd wanders across the screen, everybody wearing his favourite colour
as hair and hat. Grab their hats and throw them into mixing boxes; the crowd
judges every box by its own taste, and its moods carry the game through nine
stages. There is no losing, and no hurry.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

# The installed tree, the desktop entry, the manual page and the package (desktop-file-utils, dpkg-dev, man-db).
if(CHROMELLY_TESTS AND NOT CHROMELLY_SANITIZE)
  add_test(NAME install COMMAND "${CMAKE_SOURCE_DIR}/tests/install_check.sh" "${CMAKE_BINARY_DIR}")
  set_tests_properties(install PROPERTIES LABELS install TIMEOUT 300)
endif()
