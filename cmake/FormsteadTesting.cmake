# formstead_add_test(NAME SOURCES... [LIBS libs...] [GUI])
# One GoogleTest executable run by CTest under Wine. GUI suites share the one virtual desktop, so
# they never run at the same time as each other.
function(formstead_add_test name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} formstead_test_support gtest)
  target_link_options(${name} PRIVATE -mconsole)
  # The runner checks GoogleTest's summary against the list of tests, not only the exit code.
  add_test(NAME ${name} COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --gtest $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 900)
  if(T_GUI)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endfunction()
