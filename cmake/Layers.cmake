# zemblaro_layer(<target> <module>... [INTERNAL <module>...] [LINKS <target>...])
#
# One static library per layer of the program, linking only the layers below it. A module is a
# header, and a source beside it when there is one, named by its path without the extension
# (arith/LC). The layer's headers are linked one by one into include directories of its own in
# the build tree: its public headers into one the layers above see through LINKS, its internal
# headers into one that only the layer sees. So an #include that runs upward, or reaches into
# another layer's internals, fails to compile.
function(zemblaro_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 L "" "" "INTERNAL;LINKS")
  add_library(${target} STATIC)
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${root})  # no header a layer gave up stays visible
  foreach(kind public internal)
    set(modules ${L_UNPARSED_ARGUMENTS})
    if(kind STREQUAL internal)
      set(modules ${L_INTERNAL})
    endif()
    foreach(module ${modules})
      if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${module}.h)
        message(FATAL_ERROR "${target}: no header ${module}.h")
      endif()
      get_filename_component(dir ${root}/${kind}/${module} DIRECTORY)
      file(MAKE_DIRECTORY ${dir})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${module}.h ${root}/${kind}/${module}.h SYMBOLIC)
      if(EXISTS ${PROJECT_SOURCE_DIR}/${module}.cpp)
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/${module}.cpp)
      endif()
    endforeach()
  endforeach()
  target_include_directories(${target} PUBLIC ${root}/public PRIVATE ${root}/internal)
  target_link_libraries(${target} PUBLIC ${L_LINKS})
  set_target_properties(${target} PROPERTIES LINKER_LANGUAGE CXX)
endfunction()
