# What a Linux desktop expects beside the programs: the desktop entry, the AppStream
# metainfo, the icon in the hicolor theme, the manual pages; and the Debian package
# that carries all of it. The programs and the help file install from their own
# folders. Included at the end of the top CMakeLists.txt, so every program target
# exists by now.
#
# The programs find their help file and decide where the settings file goes from the
# install prefix compiled into them, so a package must be built from a tree configured
# with the prefix it installs to (scripts/package.sh uses /usr).
include_guard(GLOBAL)

set(_packaging ${PROJECT_SOURCE_DIR}/packaging)

# The PNG sizes are rendered from the SVG drawings by packaging/icons/render.sh and
# committed, so a build needs no SVG renderer.
foreach(_size 16 32 48 64 128 256)
  install(FILES ${_packaging}/icons/hicolor/${_size}x${_size}/apps/tallowmere.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps)
endforeach()
install(FILES ${_packaging}/icons/tallowmere.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages go in compressed, as Debian's man expects them; -n keeps the file name
# and time out of the archive so that the package is the same from build to build.
find_program(TALLOWMERE_GZIP gzip REQUIRED)
set(_man_pages tallowmere tallowmere-fetch)
if(TARGET tallowmere-schedule)
  list(APPEND _man_pages tallowmere-schedule)
endif()
set(_man_outputs)
foreach(_page ${_man_pages})
  set(_source ${_packaging}/man/${_page}.1)
  set(_output ${CMAKE_BINARY_DIR}/man/${_page}.1.gz)
  add_custom_command(OUTPUT ${_output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E copy ${_source} ${CMAKE_BINARY_DIR}/man/${_page}.1
    COMMAND ${TALLOWMERE_GZIP} -9nf ${CMAKE_BINARY_DIR}/man/${_page}.1
    DEPENDS ${_source}
    VERBATIM)
  list(APPEND _man_outputs ${_output})
endforeach()
add_custom_target(tallowmere_man_pages ALL DEPENDS ${_man_outputs})
install(FILES ${_man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The desktop entry and the metainfo (with their translations) and the translated
# manual pages.
include(${CMAKE_CURRENT_LIST_DIR}/LocalizedPackaging.cmake)
# /usr/share/doc/tallowmere holds what Debian asks of every package: the copyright
# file (machine-readable, packaging/copyright) and the changelog. The changelog is made
# from the release notes, which live in the metainfo's <releases> (the software
# centres show them from there): one entry per release, newest first, each paragraph
# and list item of its description a bullet, dated at noon UTC of the release's date.
# The newest release must be the version being built.
set(_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tallowmere)
install(FILES ${_packaging}/copyright DESTINATION ${_doc_dir})
set(_metainfo ${_packaging}/example.corvane.tallowmere.metainfo.xml)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_metainfo})
include(${CMAKE_CURRENT_LIST_DIR}/DebianChangelog.cmake)
tallowmere_debian_changelog(${_metainfo} ${CMAKE_BINARY_DIR}/doc/changelog
  tallowmere "Corvane Software <support@corvane.example>" ${PROJECT_VERSION})
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
  COMMAND ${TALLOWMERE_GZIP} -9nkf ${CMAKE_BINARY_DIR}/doc/changelog
  DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog
  VERBATIM)
add_custom_target(tallowmere_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz DESTINATION ${_doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tallowmere)
set(CPACK_PACKAGE_VENDOR "Corvane Software")
set(CPACK_PACKAGE_CONTACT "Corvane Software <support@corvane.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "net present value calculator")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.corvane.example/")
# CPack puts the summary first and indents the rest as Debian wants it.
set(CPACK_PACKAGE_DESCRIPTION "Tallowmere works out the net present value of ten yearly cash flows at five
discount rates, in 80-bit extended precision, each time a field is left. It
remembers its inputs, prints them with the results as a one-page report through
a preview window, and checks the maker's web page for a newer version.

The package also holds tallowmere-schedule, which prints a discounting schedule
of the calculator's saved inputs, and tallowmere-fetch, which fetches one URL
with the calculator's own HTTP client to diagnose its update check.")
# The libraries the programs link (Qt, libssl3) come from dpkg-shlibdeps. What no link
# line shows is added here: the windows are designed in Arial, which maps to Liberation
# Sans, https checks certificates against the system's trust store, and Qt's own dialogs
# and buttons speak the user's language from Qt's translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, ca-certificates, qt6-translations-l10n")
# Web and e-mail links open through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
