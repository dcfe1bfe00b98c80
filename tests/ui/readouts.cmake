kt_add_test(NAME test_readout_format SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_readout_format.cpp LABELS fast)
