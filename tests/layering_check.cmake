# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file includes a header from a layer above its own, a sibling module of its layer,
# another module's internal/ folder, or (from the engine) the game. Run as: cmake -DSOURCE_DIR=... -P
# layering_check.cmake. The layers, from the bottom: util and file; core; graphics and audio; app; the
# game; the program entry and tools.

set(layer_util 0)
set(layer_file 0)
set(layer_core 1)
set(layer_graphics 2)
set(layer_audio 2)
set(layer_app 3)
set(layer_game 4)
set(layer_top 5)

# The module a source path belongs to: an engine module, "game", or "top" for everything else in src/.
function(module_of path out)
    if(path MATCHES "^engine/([a-z_]+)/")
        set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
    elseif(path MATCHES "^game/")
        set(${out} game PARENT_SCOPE)
    else()
        set(${out} top PARENT_SCOPE)
    endif()
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp)
set(violations "")
foreach(source ${sources})
    module_of(${source} from)
    if(NOT DEFINED layer_${from})
        list(APPEND violations "${source}: module '${from}' has no layer in tests/layering_check.cmake")
        continue()
    endif()
    file(STRINGS ${SOURCE_DIR}/src/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
        string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" header "${line}")
        if(NOT EXISTS ${SOURCE_DIR}/src/${header})
            continue()  # a system or third-party header found through another include path
        endif()
        module_of(${header} to)
        if(to STREQUAL from)
            continue()
        endif()
        if(header MATCHES "/internal/")
            list(APPEND violations "${source}: includes ${header}, private to module '${to}'")
        elseif(NOT layer_${to} LESS layer_${from})
            list(APPEND violations "${source} (${from}): includes ${header} from module '${to}', not below it")
        endif()
    endforeach()
endforeach()

# Within the level editor (all of it "top" above) its parts are layers too: the document (the set, its
# edits, its file) at the bottom; the view and the runs (test play, proofs, the game launched) on it and
# apart; the editor that ties them together, in tools/editor itself, on top.
set(editor_layer_document 0)
set(editor_layer_view 1)
set(editor_layer_runs 1)
set(editor_layer_editor 2)
function(editor_part_of path out)
    if(path MATCHES "^tools/editor/([a-z_]+)/")
        set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
    else()
        set(${out} editor PARENT_SCOPE)
    endif()
endfunction()
foreach(source ${sources})
    if(NOT source MATCHES "^tools/editor/")
        continue()
    endif()
    editor_part_of(${source} part)
    if(NOT DEFINED editor_layer_${part})
        list(APPEND violations "${source}: the editor's part '${part}' has no layer here")
        continue()
    endif()
    file(STRINGS ${SOURCE_DIR}/src/${source} editor_includes
         REGEX "^[ \t]*#[ \t]*include[ \t]*\"tools/editor/")
    foreach(line ${editor_includes})
        string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" header "${line}")
        editor_part_of(${header} below)
        if(NOT below STREQUAL part AND NOT editor_layer_${below} LESS editor_layer_${part})
            list(APPEND violations
                 "${source} (editor ${part}): includes ${header} from the editor's ${below}, not below it")
        endif()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "Includes against the layering:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "Layering holds for ${count} source files")
