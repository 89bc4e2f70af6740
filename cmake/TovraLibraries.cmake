# Helpers that turn each source folder into a static library and bind them
# into one link group, `tovra_agent`, for the program, tests, tools and fuzzers.

set(TOVRA_LIBRARIES "" CACHE INTERNAL "")

# Every source folder sees every other one through these roots:
# "Agent/Connection.h", "salt/vector.h", "spark/rcssnet/addr.h", "oxygen/predicate.h".
# Which folder may include which is not left to the compiler: tools/layering.txt
# lists the allowed edges and scripts/check enforces them. The folder
# libraries keep the roots PRIVATE; their users get them from tovra_agent.
set(TOVRA_INCLUDE_DIRS
  ${CMAKE_SOURCE_DIR}/src
  ${CMAKE_SOURCE_DIR}/lib
  CACHE INTERNAL "")

function(tovra_add_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/${dir}/*.cpp
    ${CMAKE_SOURCE_DIR}/${dir}/*.c)
  # A folder's main.cpp belongs to its program, not to the library.
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(NOT sources)
    return()
  endif()
  set(target tovra_${name})
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PRIVATE ${TOVRA_INCLUDE_DIRS})
  target_link_libraries(${target} PUBLIC Boost::boost)
  set(TOVRA_LIBRARIES ${TOVRA_LIBRARIES} ${target} CACHE INTERNAL "")
endfunction()

function(tovra_finish_libraries)
  string(REPLACE ";" "," group "${TOVRA_LIBRARIES}")
  add_library(tovra_agent INTERFACE)
  target_include_directories(tovra_agent INTERFACE ${TOVRA_INCLUDE_DIRS})
  target_link_libraries(tovra_agent INTERFACE
    "$<LINK_GROUP:RESCAN,${group}>" Boost::boost)
endfunction()

# Delivers source files of a folder library as one relocatable object module.
# The files are compiled once, as an OBJECT library whose objects replace the
# sources in tovra_<library> (so tovra links the same compiled code), and the
# objects are joined (ld -r) into modules/<name>.o in the build tree and
# installed there.
#   tovra_add_module(name library source [source...])
function(tovra_add_module name library)
  set(lib tovra_${library})
  set(obj tovra_module_${name})
  set(srcs "")
  foreach(source IN LISTS ARGN)
    list(APPEND srcs ${CMAKE_SOURCE_DIR}/${source})
  endforeach()
  add_library(${obj} OBJECT ${srcs})
  target_include_directories(${obj} PRIVATE ${TOVRA_INCLUDE_DIRS})
  target_link_libraries(${obj} PUBLIC Boost::boost)

  get_target_property(sources ${lib} SOURCES)
  list(REMOVE_ITEM sources ${srcs})
  set_property(TARGET ${lib} PROPERTY SOURCES ${sources} $<TARGET_OBJECTS:${obj}>)

  set(out ${CMAKE_BINARY_DIR}/modules/${name}.o)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/modules
    COMMAND ${CMAKE_LINKER} -r -o ${out} $<TARGET_OBJECTS:${obj}>
    DEPENDS ${obj} $<TARGET_OBJECTS:${obj}>
    COMMAND_EXPAND_LISTS
    COMMENT "Object module modules/${name}.o")
  add_custom_target(${obj}_copy ALL DEPENDS ${out})
  install(FILES ${out} DESTINATION modules)
endfunction()
