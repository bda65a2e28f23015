# formstead_folder_library(NAME [DEPS targets...])
# The library of one source folder: every .cpp/.c in the folder. A folder without sources yet is an
# interface library, so that folders above it can name it already.
function(formstead_folder_library name)
  cmake_parse_arguments(L "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_link_libraries(${name} PUBLIC ${L_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${L_DEPS})
  endif()
endfunction()

# formstead_folder_tests(NAME [GUI] LIBS targets...)
# One test executable from every .cpp of a tests/ folder.
function(formstead_folder_tests name)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(srcs)
    formstead_add_test(${name} ${srcs} ${ARGN})
  endif()
endfunction()

# formstead_add_subfolders(): adds every subfolder of the current folder that has a CMakeLists.txt.
function(formstead_add_subfolders)
  file(GLOB subs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(sub IN LISTS subs)
    if(IS_DIRECTORY ${sub} AND EXISTS ${sub}/CMakeLists.txt)
      add_subdirectory(${sub})
    endif()
  endforeach()
endfunction()
