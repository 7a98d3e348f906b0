# vantrel_add_gtest(TARGET [gtest_discover_tests options...])
#
# Registers a GoogleTest program with CTest. A native build lists its cases by running it at
# build time (gtest_discover_tests), so that each case is a test of its own. A cross build runs
# its programs through CMAKE_CROSSCOMPILING_EMULATOR (Wine for the Windows preset), which has
# no prefix and no display at build time: there the program is one test, run at test time, its
# cases and their skips in its output (scripts/list_skips.sh finds them in CTest's log). Under
# Wine it needs the prefix that the test wine_prefix makes on a first run.
include(GoogleTest)

set(VANTREL_TEST_TIMEOUT 600 CACHE STRING "Seconds a whole cross-built test program may take")

function(vantrel_add_gtest target)
    if(NOT CMAKE_CROSSCOMPILING)
        gtest_discover_tests(${target} ${ARGN})
        return()
    endif()
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES TIMEOUT ${VANTREL_TEST_TIMEOUT})
    if(CMAKE_CROSSCOMPILING_EMULATOR MATCHES "wine")
        set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine_prefix)
    endif()
endfunction()

# The test that makes the Wine prefix ($WINEPREFIX, which the windows test preset sets) when
# it is not there yet; every test run under Wine requires it.
function(vantrel_add_wine_prefix_test)
    if(NOT CMAKE_CROSSCOMPILING_EMULATOR MATCHES "wine")
        return()
    endif()
    add_test(NAME wine_prefix
             COMMAND ${CMAKE_COMMAND} -DWINE=${CMAKE_CROSSCOMPILING_EMULATOR}
                     -P ${PROJECT_SOURCE_DIR}/cmake/WinePrefix.cmake)
    set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300)
endfunction()
