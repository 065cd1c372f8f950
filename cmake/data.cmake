# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The game's data (sprite sheets, sounds, levels) packed into one ZIP archive, tezmola.pak, beside the
# program. The game mounts every "pak" in its own directory, so the program and this archive are all a
# player needs. The loose files under data/ are the sources; scripts/make-*.py regenerate them.

set(TEZMOLA_DATA_DIR ${PROJECT_SOURCE_DIR}/data)
set(TEZMOLA_PAK ${CMAKE_BINARY_DIR}/tezmola.pak)

file(GLOB TEZMOLA_DATA_FILES CONFIGURE_DEPENDS RELATIVE ${TEZMOLA_DATA_DIR}
     ${TEZMOLA_DATA_DIR}/*.svg ${TEZMOLA_DATA_DIR}/*.png ${TEZMOLA_DATA_DIR}/*.wav ${TEZMOLA_DATA_DIR}/*.xml)
list(SORT TEZMOLA_DATA_FILES)
list(TRANSFORM TEZMOLA_DATA_FILES PREPEND ${TEZMOLA_DATA_DIR}/ OUTPUT_VARIABLE TEZMOLA_DATA_PATHS)

# Written to a temporary name and moved into place, so an interrupted build never leaves a truncated
# archive that looks up to date.
add_custom_command(
    OUTPUT ${TEZMOLA_PAK}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${TEZMOLA_PAK}.tmp
    COMMAND ${CMAKE_COMMAND} -E tar cf ${TEZMOLA_PAK}.tmp --format=zip -- ${TEZMOLA_DATA_FILES}
    COMMAND ${CMAKE_COMMAND} -E rename ${TEZMOLA_PAK}.tmp ${TEZMOLA_PAK}
    WORKING_DIRECTORY ${TEZMOLA_DATA_DIR}
    DEPENDS ${TEZMOLA_DATA_PATHS}
    COMMENT "Packing the game data into tezmola.pak"
    VERBATIM)
add_custom_target(tezmola_data ALL DEPENDS ${TEZMOLA_PAK})

add_dependencies(tezmola tezmola_data)
add_dependencies(tezmola-check-levels tezmola_data)
add_dependencies(tezmola-import-levels tezmola_data)
