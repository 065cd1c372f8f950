# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installation layout and the Debian package.
#
# The game finds its data in the directory of the real executable, so the program and its data archive
# share one directory of their own, and a launcher script in the games directory starts the program there.
# Everything is installed as the component "game". The Debian package (debian/) installs it with
# debhelper and adds the copyright file, the changelog and the lintian overrides.

set(TEZMOLA_INSTALL_GAMEDIR "lib/games/tezmola"
    CACHE STRING "Directory for the program and its data archive, relative to the prefix")
set(TEZMOLA_INSTALL_BINDIR "games" CACHE STRING "Directory for the launcher, relative to the prefix")
foreach(dir TEZMOLA_INSTALL_GAMEDIR TEZMOLA_INSTALL_BINDIR)
    if(IS_ABSOLUTE "${${dir}}")
        message(FATAL_ERROR "${dir} must be relative to the installation prefix")
    endif()
endforeach()

# The data helper's archive; cmake/data.cmake may name it through TEZMOLA_PAK.
if(NOT DEFINED TEZMOLA_PAK)
    set(TEZMOLA_PAK "${CMAKE_BINARY_DIR}/tezmola.pak")
endif()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(tezmola_packaging_dir "${PROJECT_SOURCE_DIR}/packaging")
set(tezmola_generated_dir "${CMAKE_BINARY_DIR}/packaging")

# The launcher reaches the program by a path relative to its own resolved location, so the installed
# tree can be moved or staged anywhere.
# The level checker, the level importer and the level editor are started the same way, so that they too
# find the game's data beside them.
foreach(program tezmola tezmola-check-levels tezmola-import-levels tezmola-editor)
    file(RELATIVE_PATH TEZMOLA_LAUNCHER_TARGET "/prefix/${TEZMOLA_INSTALL_BINDIR}"
         "/prefix/${TEZMOLA_INSTALL_GAMEDIR}/${program}")
    configure_file(${tezmola_packaging_dir}/tezmola.in ${tezmola_generated_dir}/${program} @ONLY)
endforeach()

# Icons in the hicolor theme, each rendered from its SVG drawing: the game's and the level editor's.
set(tezmola_icons tezmola tezmola-editor)
set(tezmola_icon_sizes 48 64 128 256)
set(tezmola_icon_pngs "")
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
    foreach(icon ${tezmola_icons})
        foreach(size ${tezmola_icon_sizes})
            set(svg ${tezmola_packaging_dir}/icons/${icon}.svg)
            set(png ${tezmola_generated_dir}/icons/${size}x${size}/${icon}.png)
            add_custom_command(
                OUTPUT ${png}
                COMMAND ${CMAKE_COMMAND} -E make_directory ${tezmola_generated_dir}/icons/${size}x${size}
                COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${svg}
                DEPENDS ${svg}
                COMMENT "Rendering the ${size}x${size} icon ${icon}"
                VERBATIM)
            list(APPEND tezmola_icon_pngs ${png})
        endforeach()
    endforeach()
    add_custom_target(tezmola_icons ALL DEPENDS ${tezmola_icon_pngs})
else()
    message(WARNING "rsvg-convert not found (Debian package librsvg2-bin): only the scalable icon is installed")
endif()

install(TARGETS tezmola tezmola-check-levels tezmola-import-levels tezmola-editor
        RUNTIME DESTINATION ${TEZMOLA_INSTALL_GAMEDIR} COMPONENT game)
install(FILES ${TEZMOLA_PAK} DESTINATION ${TEZMOLA_INSTALL_GAMEDIR} COMPONENT game)
install(PROGRAMS ${tezmola_generated_dir}/tezmola ${tezmola_generated_dir}/tezmola-check-levels
                 ${tezmola_generated_dir}/tezmola-import-levels ${tezmola_generated_dir}/tezmola-editor
        DESTINATION ${TEZMOLA_INSTALL_BINDIR} COMPONENT game)
install(FILES ${PROJECT_SOURCE_DIR}/docs/levels.md DESTINATION share/doc/tezmola COMPONENT game)
install(FILES ${tezmola_packaging_dir}/org.tezmola.Tezmola.desktop
              ${tezmola_packaging_dir}/org.tezmola.Tezmola.Editor.desktop
        DESTINATION share/applications COMPONENT game)
install(FILES ${tezmola_packaging_dir}/org.tezmola.Tezmola.metainfo.xml DESTINATION share/metainfo
        COMPONENT game)
foreach(icon ${tezmola_icons})
    install(FILES ${tezmola_packaging_dir}/icons/${icon}.svg DESTINATION share/icons/hicolor/scalable/apps
            COMPONENT game)
endforeach()
foreach(png ${tezmola_icon_pngs})
    get_filename_component(size_dir ${png} DIRECTORY)
    get_filename_component(size_dir ${size_dir} NAME)
    install(FILES ${png} DESTINATION share/icons/hicolor/${size_dir}/apps COMPONENT game)
endforeach()

# The man pages name the installed paths, which are known only when installing (a package is staged
# with its own prefix), so they are filled in and compressed then.
foreach(page tezmola tezmola-check-levels tezmola-import-levels tezmola-editor)
    set(tezmola_man_page ${tezmola_generated_dir}/${page}.6)
    install(CODE "
        set(TEZMOLA_VERSION \"${PROJECT_VERSION}\")
        set(TEZMOLA_GAMEDIR_ABS \"\${CMAKE_INSTALL_PREFIX}/${TEZMOLA_INSTALL_GAMEDIR}\")
        set(TEZMOLA_BINDIR_ABS \"\${CMAKE_INSTALL_PREFIX}/${TEZMOLA_INSTALL_BINDIR}\")
        set(TEZMOLA_DOCDIR_ABS \"\${CMAKE_INSTALL_PREFIX}/share/doc/tezmola\")
        configure_file(\"${tezmola_packaging_dir}/${page}.6\" \"${tezmola_man_page}\" @ONLY)
        execute_process(COMMAND gzip -9nf \"${tezmola_man_page}\" RESULT_VARIABLE gzip_result)
        if(NOT gzip_result EQUAL 0)
            message(FATAL_ERROR \"Cannot compress the man page ${tezmola_man_page}\")
        endif()
    " COMPONENT game)
    install(FILES ${tezmola_man_page}.gz DESTINATION share/man/man6 COMPONENT game)
endforeach()

# The Debian package's copyright file states the facts of the REUSE data: .reuse/dep5, with one paragraph
# in front for the files that state the same facts in their own header. debian/rules checks that
# debian/copyright is this file.
file(READ ${PROJECT_SOURCE_DIR}/.reuse/dep5 tezmola_dep5)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/.reuse/dep5)
string(FIND "${tezmola_dep5}" "\n\n" tezmola_dep5_split)
string(SUBSTRING "${tezmola_dep5}" 0 ${tezmola_dep5_split} tezmola_dep5_header)
string(SUBSTRING "${tezmola_dep5}" ${tezmola_dep5_split} -1 tezmola_dep5_files)
string(REGEX MATCH "\nCopyright: [^\n]*\nLicense: [^\n]*" tezmola_dep5_facts "${tezmola_dep5_files}")
file(WRITE ${tezmola_generated_dir}/copyright
     "${tezmola_dep5_header}\n\nFiles: *${tezmola_dep5_facts}${tezmola_dep5_files}")

# The package's version is the project's, with a Debian revision.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/debian/changelog)
file(STRINGS ${PROJECT_SOURCE_DIR}/debian/changelog tezmola_changelog_top LIMIT_COUNT 1)
if(NOT tezmola_changelog_top MATCHES "^tezmola \\(${PROJECT_VERSION}-[0-9]+\\) ")
    message(FATAL_ERROR "debian/changelog has no entry for ${PROJECT_VERSION} at its top")
endif()
