# What a desktop needs to list, start and describe an edition, installed in
# the XDG places: the .desktop file, the icon in the hicolor theme (the SVG
# and the PNG sizes rendered from it by tools/gen-icons) and the AppStream
# metainfo, whose version and release date come from the project.
set(QUILLET_LICENSE "MIT" CACHE STRING "SPDX id of the license, for the AppStream metainfo")
set(QUILLET_SOURCE_URL "https://github.com/quillet/quillet" CACHE STRING
    "Where the source is published; the metainfo links its screenshots there")

set(QUILLET_ICON_SIZES 16 24 32 48 64 128 256 512)

function(quillet_install_desktop_data app_id)
  set(data ${PROJECT_SOURCE_DIR}/data)
  install(FILES ${data}/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${data}/${app_id}.metainfo.xml.in ${PROJECT_BINARY_DIR}/data/${app_id}.metainfo.xml @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/data/${app_id}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${data}/icons/${app_id}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size IN LISTS QUILLET_ICON_SIZES)
    install(FILES ${data}/icons/hicolor/${size}x${size}/apps/${app_id}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endfunction()

# The edition's manual page, from one template for both, compressed
# reproducibly as Debian wants it.
function(quillet_install_man_page executable bundle other)
  string(TOUPPER ${executable} MAN_NAME)
  set(MAN_DATE ${QUILLET_RELEASE_DATE})
  set(EXECUTABLE ${executable})
  set(BUNDLE ${bundle})
  set(OTHER_EXECUTABLE ${other})
  set(SOURCE_URL ${QUILLET_SOURCE_URL})
  set(page ${PROJECT_BINARY_DIR}/man/${executable}.1)
  configure_file(${PROJECT_SOURCE_DIR}/data/edition.1.in ${page} @ONLY)
  add_custom_command(OUTPUT ${page}.gz COMMAND gzip -9nc ${page} > ${page}.gz
                     DEPENDS ${page} VERBATIM)
  add_custom_target(man_${executable} ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
