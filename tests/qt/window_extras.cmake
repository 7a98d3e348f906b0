# What a screen reader reads, the text at 1x, 1.5x and 2x, and the window's waiting.
foreach(reading_test IN ITEMS accessibility_test scaled_text_test qt_waiter_test byte_paths_test)
    add_executable(${reading_test} ${CMAKE_CURRENT_LIST_DIR}/${reading_test}.cpp)
    set_target_properties(${reading_test} PROPERTIES AUTOMOC ON)
    target_link_libraries(${reading_test} PRIVATE vantrel_qt vantrel_test_support Qt6::Test)
endforeach()
add_test(NAME accessibility_test COMMAND accessibility_test)
add_test(NAME scaled_text_test COMMAND scaled_text_test)
add_test(NAME qt_waiter_test COMMAND qt_waiter_test)
add_test(NAME byte_paths_test COMMAND byte_paths_test)
add_test(NAME scaled_text_test_1_5x COMMAND scaled_text_test)
add_test(NAME scaled_text_test_2x COMMAND scaled_text_test)
set_tests_properties(accessibility_test scaled_text_test qt_waiter_test byte_paths_test PROPERTIES
    ENVIRONMENT QT_QPA_PLATFORM=offscreen)
set_tests_properties(scaled_text_test_1_5x PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=1.5")
set_tests_properties(scaled_text_test_2x PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=2")
