# formstead_delay_import(NAME DLL)
# A library target NAME through which the system library DLL (for example comdlg32) is loaded when the
# program first calls one of its functions instead of when the program starts: under Wine each library
# loaded at start-up delays the first window by milliseconds. The functions are every one the
# toolchain's import library for DLL names. The program's calls go through each function's import
# pointer; here that pointer first leads to a small stub that asks framework/DelayLoad.cpp for the
# function (loading the library on the first call, telling the user and ending the program when it
# cannot be found), stores the answer in the pointer and jumps there, so later calls go straight to it.
# (dlltool's own delay-load libraries leave the pointer empty with this toolchain.)
function(formstead_delay_import name dll)
  if(NOT CMAKE_NM)
    message(FATAL_ERROR "delay-load libraries need the toolchain's nm")
  endif()
  find_library(FORMSTEAD_IMPORT_LIBRARY_${dll} NAMES ${dll} REQUIRED)
  set(import "${FORMSTEAD_IMPORT_LIBRARY_${dll}}")
  execute_process(COMMAND ${CMAKE_NM} -g "${import}" OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
  # Each function has its import pointer "__imp_" + the decorated name ("_Name@bytes" on i686).
  string(REGEX MATCHALL "I __imp__[^\r\n]+" exports "${symbols}")
  list(TRANSFORM exports REPLACE "^I __imp__" "")
  list(REMOVE_DUPLICATES exports)
  if(failed OR NOT exports)
    message(FATAL_ERROR "no exports read from ${import}")
  endif()
  formstead_delay_library(${name} ${dll} "${exports}")
endfunction()

# formstead_delay_library(NAME DLL EXPORTS)
# The same for DLL with the functions listed (decorated names, "Name@bytes"). The stubs suit the
# stdcall and cdecl functions of the Windows interfaces: they keep the caller's arguments in place and
# touch only the registers a call may change.
function(formstead_delay_library name dll exports)
  set(code "// Made by cmake/DelayLoad.cmake: the import pointers of ${dll}.dll, loaded on first use.\n")
  string(APPEND code "__asm__(\n    \".section .rdata,\\\"dr\\\"\\n\"\n    \"library_${name}: .asciz \\\"${dll}.dll\\\"\\n\"\n")
  foreach(export IN LISTS exports)
    string(REGEX REPLACE "@[0-9]+$" "" plain "${export}")
    string(MAKE_C_IDENTIFIER "${export}" id)
    string(APPEND code
      "    \".section .rdata,\\\"dr\\\"\\n\" \"name_${id}: .asciz \\\"${plain}\\\"\\n\"\n"
      "    \".data\\n\" \".globl __imp__${export}\\n\" \"__imp__${export}: .long stub_${id}\\n\"\n"
      "    \".text\\n\" \"stub_${id}:\\n\" \"pushl $__imp__${export}\\n\" \"pushl $name_${id}\\n\" "
      "\"pushl $library_${name}\\n\" \"call _AfxResolveDelayLoad@12\\n\" \"jmp *%eax\\n\"\n"
      "    \".globl _${export}\\n\" \"_${export}: jmp *__imp__${export}\\n\"\n")
  endforeach()
  string(APPEND code ");\n")
  set(dir "${CMAKE_BINARY_DIR}/delayload")
  set(source "${dir}/${name}.c")
  file(WRITE "${source}.new" "${code}")
  configure_file("${source}.new" "${source}" COPYONLY)
  add_library(${name} STATIC "${source}")
  # The stubs call the framework, which links them: CMake repeats the pair on the link line.
  target_link_libraries(${name} PUBLIC formstead_framework)
endfunction()
