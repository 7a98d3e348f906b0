# Run with cmake -DWINE=wine -P: makes the Wine prefix ($WINEPREFIX, else ~/.wine) when it is
# not there yet, within time limits, so that a first run of the tests needs nothing done by
# hand and never hangs. Wine Mono and Gecko are left out: the tests need neither, and Wine
# would otherwise offer to download them in a dialog that nobody answers.
if(DEFINED ENV{WINEPREFIX} AND NOT "$ENV{WINEPREFIX}" STREQUAL "")
    set(prefix "$ENV{WINEPREFIX}")
else()
    set(prefix "$ENV{HOME}/.wine")
endif()
# Wine writes the time stamp when it starts to update a prefix and the registry when the update
# has finished.

# Debian's Wine keeps its bitmap fonts (fonts-wine) out of a new prefix, and then draws
# "MS Sans Serif" with another face, whose blanks are narrower: the list's column header would no
# longer stand above its columns. The prefix gets Wine's own MS Sans Serif, for 96 and 120 dpi,
# and Tahoma, regular and bold, which the window is drawn with above 96 dpi as on Windows.
function(add_wine_fonts prefix)
    foreach(font sserife.fon sseriff.fon tahoma.ttf tahomabd.ttf)
        set(source "/usr/share/wine/fonts/${font}")
        if(EXISTS "${source}" AND NOT EXISTS "${prefix}/drive_c/windows/Fonts/${font}")
            file(COPY "${source}" DESTINATION "${prefix}/drive_c/windows/Fonts")
        endif()
    endforeach()
endfunction()

if(EXISTS "${prefix}/.update-timestamp" AND EXISTS "${prefix}/system.reg")
    add_wine_fonts("${prefix}")
    message(STATUS "Wine prefix ${prefix} is there")
    return()
endif()

set(made_here TRUE)
if(EXISTS "${prefix}")
    set(made_here FALSE)
endif()
get_filename_component(wine_bin "${WINE}" DIRECTORY)
find_program(WINEBOOT wineboot HINTS "${wine_bin}" REQUIRED)
find_program(WINESERVER wineserver HINTS "${wine_bin}" REQUIRED)
set(ENV{WINEPREFIX} "${prefix}")
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")
if(NOT DEFINED ENV{WINEDEBUG})
    set(ENV{WINEDEBUG} "-all")
endif()

message(STATUS "Making the Wine prefix ${prefix}")
execute_process(COMMAND ${WINEBOOT} --init TIMEOUT 240 RESULT_VARIABLE booted)
# The registry is saved when the server ends, once the last Wine process has.
execute_process(COMMAND ${WINESERVER} --wait TIMEOUT 60 RESULT_VARIABLE ended)
if(NOT booted EQUAL 0 OR NOT ended EQUAL 0 OR NOT EXISTS "${prefix}/system.reg")
    execute_process(COMMAND ${WINESERVER} --kill TIMEOUT 30)
    # What was left of a prefix begun here would pass for one at the next run.
    if(made_here)
        file(REMOVE_RECURSE "${prefix}")
    endif()
    message(FATAL_ERROR "wineboot --init: ${booted}; wineserver --wait: ${ended}. "
                        "The Wine prefix ${prefix} could not be made.")
endif()
add_wine_fonts("${prefix}")
message(STATUS "Made the Wine prefix ${prefix}")
