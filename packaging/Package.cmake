# Install rules and CPack settings for the two ways Spliceon ships:
#  - component Portable, the TGZ: the program with config.ini, driver/ and the icon beside it.
#    config.ini must stay writable by its user, so the folder goes wherever the technician
#    extracts it.
#  - component Debian, the DEB: the program in /usr/bin and what a desktop and udev look for.
# packaging/CPackPerGenerator.cmake makes each generator take only its own component.

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS spliceon RUNTIME DESTINATION . COMPONENT Portable)
install(FILES packaging/config.ini packaging/spliceon.png DESTINATION . COMPONENT Portable)
install(PROGRAMS packaging/add-menu-entry DESTINATION . COMPONENT Portable)
install(PROGRAMS driver/install DESTINATION driver COMPONENT Portable)
install(FILES driver/70-spliceon-ch341.rules DESTINATION driver COMPONENT Portable)

set(app_id io.github.spliceon.Spliceon)
set(deb_dir ${PROJECT_SOURCE_DIR}/packaging/deb)

# The release recorded in the changelog and the metainfo is the one being built.
file(STRINGS ${deb_dir}/changelog latest_entry LIMIT_COUNT 1)
file(STRINGS ${deb_dir}/${app_id}.metainfo.xml latest_release REGEX "<release " LIMIT_COUNT 1)
if(NOT latest_entry MATCHES "^spliceon \\(${PROJECT_VERSION}\\) "
   OR NOT latest_release MATCHES "version=\"${PROJECT_VERSION}\"")
  message(FATAL_ERROR "packaging/deb/changelog and ${app_id}.metainfo.xml need an entry for "
                      "version ${PROJECT_VERSION}")
endif()

# Debian wants the manual page and the changelog compressed, without a timestamp in the header.
set(compressed)
foreach(doc spliceon.1 changelog)
  add_custom_command(OUTPUT ${doc}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${deb_dir}/${doc} ${doc}
    COMMAND gzip -9nf ${doc}
    DEPENDS ${deb_dir}/${doc} VERBATIM)
  list(APPEND compressed ${CMAKE_CURRENT_BINARY_DIR}/${doc}.gz)
endforeach()
add_custom_target(package_docs ALL DEPENDS ${compressed})

install(TARGETS spliceon RUNTIME DESTINATION bin COMPONENT Debian)
install(FILES driver/70-spliceon-ch341.rules DESTINATION lib/udev/rules.d COMPONENT Debian)
install(FILES ${deb_dir}/${app_id}.desktop DESTINATION share/applications COMPONENT Debian)
install(FILES ${deb_dir}/${app_id}.metainfo.xml DESTINATION share/metainfo COMPONENT Debian)
install(FILES ${deb_dir}/${app_id}-48.png DESTINATION share/icons/hicolor/48x48/apps
        RENAME ${app_id}.png COMPONENT Debian)
install(FILES ${deb_dir}/${app_id}.svg DESTINATION share/icons/hicolor/scalable/apps
        COMPONENT Debian)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/spliceon.1.gz DESTINATION share/man/man1
        COMPONENT Debian)
install(FILES ${deb_dir}/spliceon.bash-completion DESTINATION share/bash-completion/completions
        RENAME spliceon COMPONENT Debian)
install(FILES ${deb_dir}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION share/doc/spliceon COMPONENT Debian)

set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME spliceon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME spliceon-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/CPackPerGenerator.cmake)

set(CPACK_PACKAGE_CONTACT
    "Spliceon developers <maintainers@users.noreply.c-seed-35e3ed0b.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service tool for a fibre-optic fusion splicer")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Spliceon talks to a fibre-optic fusion splicer through its CH341 USB-serial
cable. It finds the splicer by itself, reads its arc (fusion) parameters and
marks every field that differs from what was shown, writes edited parameters
back, keeps a parameter set in a file, and makes the splicer restore its
factory set, fire a test arc and reset its core alignment.

The command line does the same without a window, for scripts: it lists the
ports, reads the parameters to a file and writes a file to the splicer.

The package gives the user at the seat access to the CH341 converter and
keeps ModemManager from probing it.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The captions are Chinese, and Qt finds no platform plugin without qt6-qpa-plugins; the
# service record is an SQLite file, which Qt SQL opens through its plugin libqt6sql6-sqlite.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei, qt6-qpa-plugins, libqt6sql6-sqlite")
# Qt's standard dialogs in the user's language; without it they stay in Qt's English. Qt's
# PostgreSQL driver for a team's shared service record; without it the record stays local.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libqt6sql6-psql")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${deb_dir}/postinst ${deb_dir}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
