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

# formstead_checked_tests(NAME LIBS libs... [SOURCES extra...] [EXCLUDE Suite.Test...])
# The .cpp files of a tests/ folder once more (and the extra sources), against libraries built with
# the kit's checked allocators. After each test every live block's guard bytes and every freed
# block's fill are checked, and a fault fails that test. EXCLUDE leaves out tests of the allocators'
# own layout (reuse of freed blocks, chunk sizes), which the checking mode changes on purpose.
function(formstead_checked_tests name)
  if(NOT FORMSTEAD_ALLOC_CHECK_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "LIBS;SOURCES;EXCLUDE" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${srcs} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/AllocationCheckListener.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} formstead_test_support gtest)
  target_link_options(${name} PRIVATE -mconsole)
  set(filter)
  if(T_EXCLUDE)
    list(JOIN T_EXCLUDE ":" excluded)
    set(filter "--gtest_filter=-${excluded}")
  endif()
  add_test(NAME ${name} COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --gtest $<TARGET_FILE:${name}> ${filter})
  set_tests_properties(${name} PROPERTIES TIMEOUT 900)
endfunction()
