# Run with cmake -DWINE=wine -DDPI=144 -DPROGRAM=… -DFILTER=… -P: runs the test program with
# the Wine prefix's screen at DPI dots per inch (the LogPixels that Wine reads when a program
# starts), tells the program so through VANTREL_TEST_DPI, and sets the prefix back after.
set(key "HKCU\\Control Panel\\Desktop")
execute_process(COMMAND ${WINE} reg query "${key}" /v LogPixels
                OUTPUT_VARIABLE before RESULT_VARIABLE absent ERROR_QUIET)
execute_process(COMMAND ${WINE} reg add "${key}" /v LogPixels /t REG_DWORD /d ${DPI} /f
                OUTPUT_QUIET RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "Could not set the prefix's LogPixels to ${DPI}")
endif()
set(ENV{VANTREL_TEST_DPI} ${DPI})
execute_process(COMMAND ${WINE} ${PROGRAM} --gtest_filter=${FILTER} RESULT_VARIABLE result)
if(NOT absent AND before MATCHES "REG_DWORD[ \t]+0x([0-9a-fA-F]+)")
    math(EXPR old "0x${CMAKE_MATCH_1}")
    execute_process(COMMAND ${WINE} reg add "${key}" /v LogPixels /t REG_DWORD /d ${old} /f
                    OUTPUT_QUIET)
else()
    execute_process(COMMAND ${WINE} reg delete "${key}" /v LogPixels /f OUTPUT_QUIET ERROR_QUIET)
endif()
if(NOT result EQUAL 0)
    message(FATAL_ERROR "The tests at ${DPI} dpi failed: ${result}")
endif()
