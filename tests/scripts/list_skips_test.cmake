# Run with cmake -P -DLIST_SKIPS=scripts/list_skips.sh: the skips it finds in a CTest log that
# holds skipped GoogleTest cases with and without a reason, skipped Qt Test functions, and the
# summary lines of GoogleTest that name a skipped case a second time.
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
