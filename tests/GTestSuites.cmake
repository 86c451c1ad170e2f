# kep_add_gtest_suites(TARGET PREFIX PROPERTY VALUE...): one ctest per
# googletest suite of TARGET, named PREFIX.Suite, that runs the suite's tests
# in one process (--gtest_filter=Suite.*) with the given test properties.
# Each Wine process of the in-process GUI tests costs a start of Wine's window
# system; a process per suite keeps failures named by suite (and by test in
# the output) without paying that start for every test.
#
# The suites are listed when ctest runs (the program runs under Wine, which
# the build need not have), again whenever the program is newer than the list.
function(kep_add_gtest_suites target prefix)
    set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_include.cmake")
    file(GENERATE OUTPUT "${include_file}" CONTENT
"set(KEP_SUITES_EXE [==[$<TARGET_FILE:${target}>]==])
set(KEP_SUITES_EMULATOR [==[${CMAKE_CROSSCOMPILING_EMULATOR}]==])
set(KEP_SUITES_PREFIX [==[${prefix}]==])
set(KEP_SUITES_PROPERTIES [==[${ARGN}]==])
set(KEP_SUITES_WORKING_DIR [==[${CMAKE_BINARY_DIR}]==])
set(KEP_SUITES_OUT [==[${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake]==])
set(KEP_SUITES_INCLUDE [==[${include_file}]==])
set(KEP_SUITES_CMAKE [==[${CMAKE_COMMAND}]==])
include([==[${CMAKE_CURRENT_SOURCE_DIR}/GTestSuitesList.cmake]==])
")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${include_file}")
endfunction()
