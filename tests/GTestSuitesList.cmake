# Run by ctest before the tests (see GTestSuites.cmake): lists the suites of
# the googletest program KEP_SUITES_EXE and adds a test per suite. The list
# is read from a file, never a pipe: Wine's background processes could keep
# a pipe open for good.

macro(kep_suites_quote out value)
    set(${out} "[==[${value}]==]")
endmacro()

if(NOT EXISTS "${KEP_SUITES_OUT}" OR "${KEP_SUITES_EXE}" IS_NEWER_THAN "${KEP_SUITES_OUT}"
   OR "${KEP_SUITES_INCLUDE}" IS_NEWER_THAN "${KEP_SUITES_OUT}" OR "${CMAKE_CURRENT_LIST_FILE}" IS_NEWER_THAN "${KEP_SUITES_OUT}")
    set(list_file "${KEP_SUITES_OUT}.list")
    set(result "no program")
    if(EXISTS "${KEP_SUITES_EXE}")
        execute_process(COMMAND ${KEP_SUITES_EMULATOR} "${KEP_SUITES_EXE}" --gtest_list_tests
                        OUTPUT_FILE "${list_file}" ERROR_FILE "${list_file}" RESULT_VARIABLE result TIMEOUT 300)
    endif()
    kep_suites_quote(emulator "${KEP_SUITES_EMULATOR}")
    kep_suites_quote(exe "${KEP_SUITES_EXE}")
    kep_suites_quote(dir "${KEP_SUITES_WORKING_DIR}")
    string(REPLACE ";" " " properties "${KEP_SUITES_PROPERTIES}")
    set(script "")
    if(result EQUAL 0)
        file(STRINGS "${list_file}" lines)
        foreach(line IN LISTS lines)
            string(REPLACE "\r" "" line "${line}")
            # A suite line ("Suite." or "Prefix/Suite.  # TypeParam = ..."); the tests are indented.
            if(line MATCHES "^([A-Za-z0-9_/]+)\\.( .*)?$")
                set(suite "${CMAKE_MATCH_1}")
                kep_suites_quote(name "${KEP_SUITES_PREFIX}.${suite}")
                kep_suites_quote(filter "--gtest_filter=${suite}.*")
                string(APPEND script "add_test(${name} ${emulator} ${exe} ${filter})\n")
                string(APPEND script "set_tests_properties(${name} PROPERTIES WORKING_DIRECTORY ${dir} ${properties})\n")
            endif()
        endforeach()
    endif()
    if(script STREQUAL "")
        # Shown as a failing test, and listed again at the next run.
        kep_suites_quote(name "${KEP_SUITES_PREFIX}.not_listed")
        kep_suites_quote(why "cannot list the tests of ${KEP_SUITES_EXE} (${result}); see ${list_file}")
        file(WRITE "${KEP_SUITES_OUT}.failed"
             "add_test(${name} [==[${KEP_SUITES_CMAKE}]==] -E echo ${why})\nset_tests_properties(${name} PROPERTIES FAIL_REGULAR_EXPRESSION cannot)\n")
        file(REMOVE "${KEP_SUITES_OUT}")
        include("${KEP_SUITES_OUT}.failed")
        return()
    endif()
    file(WRITE "${KEP_SUITES_OUT}" "${script}")
endif()
include("${KEP_SUITES_OUT}")
