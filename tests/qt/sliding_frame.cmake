# The file list's sliding frame on real widgets, offscreen.
add_executable(sliding_frame_test ${CMAKE_CURRENT_LIST_DIR}/sliding_frame_test.cpp)
set_target_properties(sliding_frame_test PROPERTIES AUTOMOC ON)
target_link_libraries(sliding_frame_test PRIVATE vantrel_qt Qt6::Test)
add_test(NAME sliding_frame_test COMMAND sliding_frame_test)
set_tests_properties(sliding_frame_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
