# Run with cmake -P -DLIST_SKIPS=scripts/list_skips.sh -DWORK=folder: the skips it finds in a
# CTest log that holds skipped GoogleTest cases with and without a reason, skipped Qt Test
# functions, and the summary lines of GoogleTest that name a skipped case a second time; and in
# the log of a whole GoogleTest program run as one test, as the windows preset does, whose lines
# end in CR LF.
execute_process(
    COMMAND bash ${LIST_SKIPS} ${CMAKE_CURRENT_LIST_DIR}/skips.log
    OUTPUT_VARIABLE listed
    RESULT_VARIABLE status)
string(CONCAT expected
    "SKIPPED DiskFull.WritesFail: no tmpfs for this test: mount: Operation not permitted\n"
    "SKIPPED ReadOnly.RunStops: no reason given\n"
    "SKIPPED ScreenshotTest::atTwiceTheSize() no display for this one\n"
    "SKIPPED ScreenshotTest::font(outline face) no Tahoma installed\n")
if(NOT status EQUAL 0 OR NOT listed STREQUAL expected)
    message(FATAL_ERROR "list_skips.sh exited with ${status} and listed:\n${listed}")
endif()

file(READ ${CMAKE_CURRENT_LIST_DIR}/skips_windows.log windows_log)
string(REPLACE "\n" "\r\n" windows_log "${windows_log}")
file(WRITE ${WORK}/skips_windows_crlf.log "${windows_log}")
execute_process(
    COMMAND bash ${LIST_SKIPS} ${WORK}/skips_windows_crlf.log
    OUTPUT_VARIABLE listed
    RESULT_VARIABLE status)
string(CONCAT expected
    "SKIPPED DiskFull.WritesFail: only root may mount the small tmpfs that drive X: fills up\n"
    "SKIPPED DiskFull.RunStops: only root may mount the small tmpfs that drive X: fills up\n")
if(NOT status EQUAL 0 OR NOT listed STREQUAL expected)
    message(FATAL_ERROR "list_skips.sh exited with ${status} and listed from a whole program:\n"
                        "${listed}")
endif()
