# cmake -DSOURCE_DIR=<the repository> -P CheckLayers.cmake
#
# Fails when a file of the program includes a header of a layer above its own or of another
# folder of its own layer, or when a toolkit-free layer includes a Qt header, or <windows.h>
# outside a *_win32 file. The layers are those of docs/ARCHITECTURE.md, lowest first; tests,
# benches and tools may include every layer and are not checked.
cmake_minimum_required(VERSION 3.25)

set(rank_version 0)
set(rank_platform 0)
set(rank_replication 1)
set(rank_filelist 1)
set(rank_window 2)
set(rank_qt 3)
set(rank_win32 3)
set(folders version platform replication filelist window qt win32)
set(toolkit_free platform replication filelist window)

if(NOT IS_DIRECTORY "${SOURCE_DIR}/platform")
    message(FATAL_ERROR "SOURCE_DIR (${SOURCE_DIR}) is not the repository")
endif()

set(faults "")
set(checked 0)
foreach(folder IN LISTS folders)
    file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${folder}/*.h"
         "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.rc" "${SOURCE_DIR}/${folder}/*.in")
    foreach(file IN LISTS files)
        math(EXPR checked "${checked} + 1")
        get_filename_component(name "${file}" NAME_WE)
        file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"][^>\"]*[>\"]).*" "\\1" header "${line}")
            if(header MATCHES "^\"([^/\"]+)/")
                set(layer "${CMAKE_MATCH_1}")
                if(NOT layer STREQUAL folder AND
                   (NOT DEFINED rank_${layer} OR NOT rank_${layer} LESS rank_${folder}))
                    list(APPEND faults "${file}: ${header}: ${layer}/ is not a layer below ${folder}/")
                endif()
            elseif(folder IN_LIST toolkit_free)
                if(header MATCHES "^<(Q|qt)")
                    list(APPEND faults "${file}: ${header}: a Qt header in a toolkit-free layer")
                elseif(header MATCHES "^<windows\\.h>" AND NOT name MATCHES "_win32$")
                    list(APPEND faults "${file}: ${header}: <windows.h> outside a *_win32 file")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()

if(checked EQUAL 0)
    message(FATAL_ERROR "no file found under ${SOURCE_DIR}")
endif()
if(faults)
    list(JOIN faults "\n" report)
    message(FATAL_ERROR "includes against the layers:\n${report}")
endif()
message(STATUS "${checked} files keep to the layers")
