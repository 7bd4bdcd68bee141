# The files around the programs in every language that has a translation: the desktop
# entry and the AppStream metainfo with their texts merged from packaging/po/<lang>.po
# (gettext's msgfmt), and the manual pages made from the English ones and
# packaging/man/po/<lang>.po (po4a). The languages are the PO files present, so a new
# language is its PO files and nothing else. scripts/po.sh keeps the PO files in step
# with the English files; ctest fails when they are not.
# Included by cmake/Packaging.cmake, which sets _packaging.
include_guard(GLOBAL)

find_program(TALLOWMERE_MSGFMT msgfmt REQUIRED)
find_program(TALLOWMERE_PO4A po4a REQUIRED)
set(_l10n_dir ${CMAKE_BINARY_DIR}/packaging)

# Desktop entry and metainfo: msgfmt merges one language per run, so each run takes the
# previous run's output as its template. The desktop entry's Name stays the program's
# name: scripts/po.sh does not extract it, so no PO file translates it.
file(GLOB _desktop_po CONFIGURE_DEPENDS ${_packaging}/po/*.po)
list(SORT _desktop_po)
set(_desktop_template ${_packaging}/tallowmere.desktop)
set(_metainfo_template ${_packaging}/example.corvane.tallowmere.metainfo.xml)
set(_merge_commands)
foreach(_po ${_desktop_po})
  get_filename_component(_lang ${_po} NAME_WE)
  # The metainfo's name tells msgfmt which ITS rules apply, so each step keeps it.
  set(_desktop_step ${_l10n_dir}/merge/${_lang}/tallowmere.desktop)
  set(_metainfo_step ${_l10n_dir}/merge/${_lang}/example.corvane.tallowmere.metainfo.xml)
  list(APPEND _merge_commands
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_l10n_dir}/merge/${_lang}
    COMMAND ${TALLOWMERE_MSGFMT} --desktop --template=${_desktop_template} -l ${_lang} -o ${_desktop_step} ${_po}
    COMMAND ${TALLOWMERE_MSGFMT} --xml --template=${_metainfo_template} -l ${_lang} -o ${_metainfo_step} ${_po})
  set(_desktop_template ${_desktop_step})
  set(_metainfo_template ${_metainfo_step})
endforeach()
set(_desktop_file ${_l10n_dir}/tallowmere.desktop)
set(_metainfo_file ${_l10n_dir}/example.corvane.tallowmere.metainfo.xml)
add_custom_command(OUTPUT ${_desktop_file} ${_metainfo_file}
  ${_merge_commands}
  COMMAND ${CMAKE_COMMAND} -E copy ${_desktop_template} ${_desktop_file}
  COMMAND ${CMAKE_COMMAND} -E copy ${_metainfo_template} ${_metainfo_file}
  DEPENDS ${_packaging}/tallowmere.desktop ${_packaging}/example.corvane.tallowmere.metainfo.xml ${_desktop_po}
  COMMENT "Merging the translations into the desktop entry and the metainfo"
  VERBATIM)
add_custom_target(tallowmere_desktop_files ALL DEPENDS ${_desktop_file} ${_metainfo_file})
install(FILES ${_desktop_file} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_metainfo_file} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages: po4a writes <lang>/<page>.1 for every PO file into the build tree,
# leaving the PO files as they are; each page goes in compressed like the English ones.
file(GLOB _man_po CONFIGURE_DEPENDS ${_packaging}/man/po/*.po)
list(SORT _man_po)
if(_man_po)
  set(_man_l10n ${CMAKE_BINARY_DIR}/man-l10n)
  set(_man_sources)
  set(_man_translated)
  set(_man_gzip_commands)
  foreach(_page ${_man_pages})
    list(APPEND _man_sources ${_packaging}/man/${_page}.1)
  endforeach()
  foreach(_po ${_man_po})
    get_filename_component(_lang ${_po} NAME_WE)
    foreach(_page ${_man_pages})
      list(APPEND _man_translated ${_man_l10n}/${_lang}/${_page}.1.gz)
      list(APPEND _man_gzip_commands COMMAND ${TALLOWMERE_GZIP} -9nf ${_man_l10n}/${_lang}/${_page}.1)
    endforeach()
    install(DIRECTORY ${_man_l10n}/${_lang}/ DESTINATION ${CMAKE_INSTALL_MANDIR}/${_lang}/man1
            FILES_MATCHING PATTERN "*.1.gz")
  endforeach()
  # --keep 100: a page whose translation is not complete is not written, and the build
  # stops on its missing output instead of installing a page half in English.
  add_custom_command(OUTPUT ${_man_translated}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${_man_l10n}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_man_l10n}
    COMMAND ${TALLOWMERE_PO4A} --no-update --force --keep 100 --srcdir ${_packaging}/man --destdir ${_man_l10n}
            ${_packaging}/man/po4a.cfg
    ${_man_gzip_commands}
    DEPENDS ${_packaging}/man/po4a.cfg ${_man_sources} ${_man_po}
    COMMENT "Translating the manual pages"
    VERBATIM)
  add_custom_target(tallowmere_man_pages_l10n ALL DEPENDS ${_man_translated})
endif()

# The merged files as a desktop and a software centre read them; the PO files in step
# with the English ones.
if(TALLOWMERE_BUILD_TESTS)
  find_program(TALLOWMERE_DESKTOP_FILE_VALIDATE desktop-file-validate REQUIRED)
  find_program(TALLOWMERE_APPSTREAMCLI appstreamcli REQUIRED)
  add_test(NAME packaging.desktop_entry_validates COMMAND ${TALLOWMERE_DESKTOP_FILE_VALIDATE} ${_desktop_file})
  add_test(NAME packaging.metainfo_validates COMMAND ${TALLOWMERE_APPSTREAMCLI} validate --no-net ${_metainfo_file})
  add_test(NAME packaging.translations_up_to_date COMMAND ${PROJECT_SOURCE_DIR}/scripts/po.sh check)
endif()
