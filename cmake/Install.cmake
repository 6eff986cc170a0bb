# Installation and the Debian package: only the game itself is installed, with
# a desktop entry, icons drawn from the game's own pictures, AppStream metadata,
# a manual page in section 6, the changelog and the copyright file.
#
#   cmake --install build --prefix /usr/local     (or DESTDIR=... for staging)
#   cd build && cpack                              (chromelly_<version>_<arch>.deb)
#
# The executable goes where the prefix's convention puts games: <prefix>/games
# for /usr and /usr/local (the Debian package's /usr/games, a local
# /usr/local/games, both on Debian's PATH), <prefix>/bin for any other prefix
# (~/.local, /opt/chromelly), where no games directory is on anybody's PATH.
# The prefix decides at configure time (CMAKE_INSTALL_PREFIX, /usr/local by
# default); CHROMELLY_INSTALL_GAMEDIR overrides it.
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

if(CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/?$")
  set(CHROMELLY_DEFAULT_GAMEDIR games)
else()
  set(CHROMELLY_DEFAULT_GAMEDIR "${CMAKE_INSTALL_BINDIR}")
endif()
set(CHROMELLY_INSTALL_GAMEDIR "${CHROMELLY_DEFAULT_GAMEDIR}" CACHE STRING
    "Where the executable goes under the prefix: games for /usr and /usr/local, bin elsewhere")
if(NOT CHROMELLY_INSTALL_GAMEDIR STREQUAL "games")
  message(STATUS "The game installs to ${CHROMELLY_INSTALL_GAMEDIR}/ under the prefix; cpack's package wants "
                 "games/ (/usr/games): configure with the default prefix or /usr to build it.")
endif()
set(CHROMELLY_APP_ID io.github.chromelly.chromelly)
set(CHROMELLY_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/chromelly")

# The changelog holds the releases: its newest entry must be this version, and
# its dates are the release dates the manual page and the metainfo show.
file(STRINGS "${CMAKE_SOURCE_DIR}/data/changelog" CHROMELLY_CHANGELOG)
set(CHROMELLY_MONTHS Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
set(CHROMELLY_METAINFO_RELEASES "")
set(CHROMELLY_RELEASE_VERSIONS "")
set(CHROMELLY_RELEASE_DATE "")
set(version "")
foreach(line IN LISTS CHROMELLY_CHANGELOG)
  if(line MATCHES "^chromelly \\(([^)]+)\\) ")
    set(version "${CMAKE_MATCH_1}")
    list(APPEND CHROMELLY_RELEASE_VERSIONS "${version}")
  elseif(line MATCHES "^ -- .+>  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    list(FIND CHROMELLY_MONTHS "${CMAKE_MATCH_2}" month)
    if(month LESS 0 OR version STREQUAL "")
      message(FATAL_ERROR "data/changelog: cannot read the entry's trailer: ${line}")
    endif()
    math(EXPR month "${month} + 1")
    if(month LESS 10)
      set(month "0${month}")
    endif()
    set(date "${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1}")
    if(CHROMELLY_RELEASE_DATE STREQUAL "")
      set(CHROMELLY_RELEASE_DATE "${date}")
    endif()
    string(APPEND CHROMELLY_METAINFO_RELEASES "    <release version=\"${version}\" date=\"${date}\"/>\n")
    set(version "")
  endif()
endforeach()
list(GET CHROMELLY_RELEASE_VERSIONS 0 CHROMELLY_CHANGELOG_VERSION)
if(NOT CHROMELLY_CHANGELOG_VERSION STREQUAL PROJECT_VERSION OR CHROMELLY_RELEASE_DATE STREQUAL "")
  message(FATAL_ERROR "data/changelog's newest entry is ${CHROMELLY_CHANGELOG_VERSION}, the project's version "
                      "${PROJECT_VERSION}: add an entry for this version, dated, with dch or by hand.")
endif()
string(STRIP "${CHROMELLY_METAINFO_RELEASES}" CHROMELLY_METAINFO_RELEASES)
string(PREPEND CHROMELLY_METAINFO_RELEASES "    ")

# The manual page and the metainfo carry the version; the manual page and the
# changelog are installed compressed, as Debian wants them (gzip -9n: no name
# or time stamp inside, so the same sources give the same bytes).
set(CHROMELLY_DATA_DIR "${CMAKE_BINARY_DIR}/data")
configure_file("${CMAKE_SOURCE_DIR}/data/chromelly.6.in" "${CHROMELLY_DATA_DIR}/chromelly.6" @ONLY)
configure_file("${CMAKE_SOURCE_DIR}/data/${CHROMELLY_APP_ID}.metainfo.xml.in"
               "${CHROMELLY_DATA_DIR}/${CHROMELLY_APP_ID}.metainfo.xml" @ONLY)
configure_file("${CMAKE_SOURCE_DIR}/data/changelog" "${CHROMELLY_DATA_DIR}/changelog" COPYONLY)
find_program(CHROMELLY_GZIP gzip REQUIRED)
set(CHROMELLY_COMPRESSED "")
foreach(name chromelly.6 changelog)
  add_custom_command(
    OUTPUT "${CHROMELLY_DATA_DIR}/${name}.gz"
    COMMAND "${CHROMELLY_GZIP}" -9nkf "${CHROMELLY_DATA_DIR}/${name}"
    DEPENDS "${CHROMELLY_DATA_DIR}/${name}"
    COMMENT "Compressing ${name}"
    VERBATIM)
  list(APPEND CHROMELLY_COMPRESSED "${CHROMELLY_DATA_DIR}/${name}.gz")
endforeach()
add_custom_target(chromelly_data ALL DEPENDS ${CHROMELLY_COMPRESSED})

install(TARGETS chromelly RUNTIME DESTINATION "${CHROMELLY_INSTALL_GAMEDIR}")
# Stripped as Debian strips: also without the compilers' .comment and .note sections.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CHROMELLY_INSTALL_GAMEDIR}/$<TARGET_FILE_NAME:chromelly>\"
    COMMAND_ERROR_IS_FATAL ANY)
endif()")
install(FILES "${CMAKE_SOURCE_DIR}/data/${CHROMELLY_APP_ID}.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${CHROMELLY_DATA_DIR}/${CHROMELLY_APP_ID}.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
foreach(size IN LISTS CHROMELLY_ICON_SIZES)
  install(FILES "${CHROMELLY_ICON_DIR}/${size}/chromelly.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()
install(FILES "${CHROMELLY_DATA_DIR}/chromelly.6.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")
install(FILES "${CMAKE_SOURCE_DIR}/data/copyright" "${CHROMELLY_DATA_DIR}/changelog.gz" "${CMAKE_SOURCE_DIR}/README.md"
        DESTINATION "${CHROMELLY_DOC_DIR}")

# The Debian package. Depends is computed from the executable by dpkg-shlibdeps (dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME chromelly)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Chromelly")
set(CPACK_PACKAGE_CONTACT "Chromelly developers <chromelly@users.noreply.github.com>")
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

# The installed tree, the desktop entry, the metainfo, the manual page and the
# package (desktop-file-utils, appstream, dpkg-dev, man-db, lintian). It is
# skipped (77) where lintian or appstreamcli is missing and all else passed.
if(CHROMELLY_TESTS AND NOT CHROMELLY_SANITIZE)
  add_test(NAME install COMMAND "${CMAKE_SOURCE_DIR}/tests/install_check.sh" "${CMAKE_BINARY_DIR}")
  set_tests_properties(install PROPERTIES LABELS install TIMEOUT 600 SKIP_RETURN_CODE 77)
endif()
