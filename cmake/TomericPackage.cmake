# Installation (cmake --install) and the Debian package (cpack, or
# scripts/package): the programs, their man pages, the desktop entry, the
# icon and the MIME type of packages made with tomeric-pack. The plug-in
# header and the debugger library install from src/debugger.

include(GNUInstallDirs)

# Every program under tools/ (qxplay5 and the tools beside it).
file(GLOB tool_dirs LIST_DIRECTORIES true ${PROJECT_SOURCE_DIR}/tools/*)
set(installed_tools)
foreach(dir ${tool_dirs})
  get_filename_component(tool ${dir} NAME)
  if(IS_DIRECTORY ${dir} AND TARGET ${tool})
    get_target_property(excluded ${tool} EXCLUDE_FROM_ALL)
    if(NOT excluded)
      install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
      list(APPEND installed_tools ${tool})
    endif()
  endif()
endforeach()

# A man page for each program, made from its --help by help2man (and
# compressed, as Debian keeps them); the line
# under NAME says what the program is for.
set(man_name_qxplay5 "play a Tomeric publication")
set(man_name_tomeric-pack "make and inspect Tomeric publication packages")
set(man_name_tomeric-script "run Tomeric action scripts without a window")
set(man_name_tomeric-remote "drive a running Tomeric publication from another program")
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(man_pages)
  foreach(tool ${installed_tools})
    set(page ${PROJECT_BINARY_DIR}/man/${tool}.1)
    set(packed ${page}.gz)
    set(man_name "${man_name_${tool}}")
    if(NOT man_name)
      set(man_name "a tool of Tomeric Player")
    endif()
    add_custom_command(
      OUTPUT ${packed}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
              ${HELP2MAN} --no-info --no-discard-stderr --version-string=${PROJECT_VERSION}
              --section=1 "--source=Tomeric Player" "--name=${man_name}" --output=${page}
              $<TARGET_FILE:${tool}>
      COMMAND gzip -9nf ${page}
      DEPENDS ${tool}
      COMMENT "Writing the man page of ${tool}"
      VERBATIM)
    list(APPEND man_pages ${packed})
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: no man pages")
endif()

set(desktop_dir ${PROJECT_SOURCE_DIR}/desktop)
install(FILES ${desktop_dir}/tomeric-player.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop_dir}/tomeric-player.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${desktop_dir}/tomeric-player.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${desktop_dir}/tomeric-player.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
        RENAME application-x-tomeric-package.svg)

# The desktop entry is checked as the desktop reads it.
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  add_test(NAME desktop.entry COMMAND ${DESKTOP_FILE_VALIDATE} ${desktop_dir}/tomeric-player.desktop)
endif()

# The demo, to try the player out: qxplay5 /usr/share/tomeric-player/demo.tpk
install(FILES ${PROJECT_BINARY_DIR}/demo.tpk DESTINATION ${CMAKE_INSTALL_DATADIR}/tomeric-player OPTIONAL)

# What scripts/package builds before packing (not the tests).
add_custom_target(package_contents)
foreach(target ${installed_tools} QXDebug demo man_pages)
  if(TARGET ${target})
    add_dependencies(package_contents ${target})
  endif()
endforeach()

# ---- the Debian package ----------------------------------------------------
# cpack builds only what the package holds (package_contents), not the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tomeric-player)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tomeric Player developers <tomeric-player@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Player for interactive publications made with Tomeric")
set(CPACK_PACKAGE_DESCRIPTION
    "Tomeric Player runs the interactive books, kiosks, catalogues and courseware
made with the Windows-only Tomeric authoring tool, unchanged: the same
container, publication text, action language and messages. It comes with
tomeric-pack (make and inspect packages), tomeric-script (run action scripts
without a window) and tomeric-remote (drive a running publication).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tomeric-player_<version>_amd64.deb
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://localhost/tomeric-player")
# The runtime libraries come from dpkg-shlibdeps; the Qt plug-ins the player
# loads at run time (pictures, sound and video) are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-image-formats-plugins, qt6-qpa-plugins, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, fonts-dejavu-core")
# MIDI and more codecs, and fonts that stand in for the Windows fonts
# publications name.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "gstreamer1.0-plugins-bad, timgm6mb-soundfont, fonts-liberation2, fonts-crosextra-carlito, fonts-crosextra-caladea")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "wine")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${desktop_dir}/debian/postinst ${desktop_dir}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
