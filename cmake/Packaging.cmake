# Desktop integration (entry, icons, query-file type, AppStream data), manual pages and the
# Debian package. Paths are relative to the install prefix: /usr in the package, anything
# with `cmake --install BUILD --prefix DIR`.

# The release these files describe; the version itself comes from project().
set(VELMORA_RELEASE_DATE 2026-12-10)
set(VELMORA_MAN_DATE "December 2026")
# AppStream wants a reverse-DNS id; this one is built from the maintainer's address domain.
set(VELMORA_APPSTREAM_ID invalid.velmora.velmora)
set(VELMORA_ICON_SIZES 16 22 24 32 48 64 128 256)
set(VELMORA_MAINTAINER "Velmora Developers <dev@velmora.invalid>")

set(data_src ${PROJECT_SOURCE_DIR}/data)
set(VELMORA_DATA_BUILD_DIR ${PROJECT_BINARY_DIR}/data)
file(MAKE_DIRECTORY ${VELMORA_DATA_BUILD_DIR}/man)

configure_file(${data_src}/velmora.metainfo.xml.in
               ${VELMORA_DATA_BUILD_DIR}/${VELMORA_APPSTREAM_ID}.metainfo.xml @ONLY)

# PNG icons for the desktops and toolkits that do not read SVG, rendered from the SVGs.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(icon_outputs)
foreach(size ${VELMORA_ICON_SIZES})
  foreach(icon apps/velmora mimetypes/application-x-velmora-query)
    get_filename_component(context ${icon} DIRECTORY)
    get_filename_component(name ${icon} NAME)
    set(out ${VELMORA_DATA_BUILD_DIR}/icons/${size}x${size}/${context}/${name}.png)
    add_custom_command(
      OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMORA_DATA_BUILD_DIR}/icons/${size}x${size}/${context}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${out} ${data_src}/icons/${name}.svg
      DEPENDS ${data_src}/icons/${name}.svg
      COMMENT "Rendering ${name} at ${size}x${size}"
      VERBATIM)
    list(APPEND icon_outputs ${out})
  endforeach()
endforeach()

# Manual pages carry the version; Debian installs them gzipped.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(man_outputs)
foreach(page velmora.1 velmora-kvf.1)
  configure_file(${PROJECT_SOURCE_DIR}/man/${page} ${VELMORA_DATA_BUILD_DIR}/man/${page} @ONLY)
  add_custom_command(
    OUTPUT ${VELMORA_DATA_BUILD_DIR}/man/${page}.gz
    COMMAND ${GZIP_PROGRAM} -9 -n -f -k ${VELMORA_DATA_BUILD_DIR}/man/${page}
    DEPENDS ${VELMORA_DATA_BUILD_DIR}/man/${page}
    COMMENT "Compressing manual page ${page}"
    VERBATIM)
  list(APPEND man_outputs ${VELMORA_DATA_BUILD_DIR}/man/${page}.gz)
endforeach()

add_custom_target(velmora_data ALL DEPENDS ${icon_outputs} ${man_outputs})

install(FILES ${data_src}/velmora.desktop DESTINATION share/applications)
install(FILES ${data_src}/velmora.xml DESTINATION share/mime/packages)
install(FILES ${VELMORA_DATA_BUILD_DIR}/${VELMORA_APPSTREAM_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${data_src}/icons/velmora.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${data_src}/icons/application-x-velmora-query.svg
        DESTINATION share/icons/hicolor/scalable/mimetypes)
foreach(size ${VELMORA_ICON_SIZES})
  install(DIRECTORY ${VELMORA_DATA_BUILD_DIR}/icons/${size}x${size} DESTINATION share/icons/hicolor)
endforeach()
install(FILES ${man_outputs} DESTINATION share/man/man1)

# The Debian package. dpkg itself refreshes the menu, the MIME database, the icon cache and
# the manual index: desktop-file-utils, shared-mime-info, hicolor-icon-theme and man-db watch
# these folders with file triggers, so the package needs no maintainer scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velmora Developers")
set(CPACK_PACKAGE_CONTACT "${VELMORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "run prepared database queries and save their results")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELMORA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# CPack puts the summary above this text as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velmora runs prepared database queries (*.kvf query files holding a description,
a connection string and one SQL statement), asks for their parameters, shows the
rows in a sortable grid and saves them as delimited text or as a workbook (xlsx,
xls, html, csv, XML spreadsheet). It reads SQLite, PostgreSQL and any ODBC data
source. Schedulers run the same work unattended from a five-argument command
line, with every problem written to the system log.

The package also holds velmora-kvf, which encodes and decodes query files.")

# The SQL drivers are plugins that Qt loads at run time, so no library check finds them.
set(velmora_plugin_depends "libqt6sql6-sqlite (>= 6.4), libqt6sql6-psql (>= 6.4), libqt6sql6-odbc (>= 6.4)")
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${velmora_plugin_depends}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libc6, libstdc++6, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), \
libqt6sql6 (>= 6.4), ${velmora_plugin_depends}, libxlsxwriter4, libsqlite3-0")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libsqliteodbc, odbc-postgresql, unixodbc")

include(CPack)
