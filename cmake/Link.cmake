# How the program is linked: link-time optimisation, and a start-up that costs no more than an
# empty process. Included from the top-level CMakeLists.txt once the product targets exist.
#
# Instrumented builds (ZEMBLARO_INSTRUMENTED: sanitizers, libFuzzer, coverage) keep the
# toolchain's default linking, the one their runtimes are built for (the address sanitizer
# refuses a static link), and no LTO, which would only slow their builds.

# LTO lets the converters inline into the self-test's exhaustive loop, whose speed depends on it.
# zemblaro_ipo(<target>...) turns it on for the product's targets and for the tests and
# benchmarks that link them, where the toolchain supports it and the cache does not turn
# CMAKE_INTERPROCEDURAL_OPTIMIZATION off.
include(CheckIPOSupported)
set(zemblaro_ipo OFF)
if(NOT ZEMBLARO_INSTRUMENTED AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug"
   AND (CMAKE_INTERPROCEDURAL_OPTIMIZATION OR NOT DEFINED CMAKE_INTERPROCEDURAL_OPTIMIZATION))
  check_ipo_supported(RESULT zemblaro_ipo OUTPUT zemblaro_ipo_output LANGUAGES CXX)
  if(NOT zemblaro_ipo)
    message(WARNING "No link-time optimisation: ${zemblaro_ipo_output}")
  endif()
endif()
function(zemblaro_ipo)
  if(zemblaro_ipo)
    set_property(TARGET ${ARGN} PROPERTY INTERPROCEDURAL_OPTIMIZATION ON)
  endif()
endfunction()
zemblaro_ipo(${zemblaro_layers} zemblaro)

# Loading and relocating the shared libstdc++ costs more than all the rest of a run of one
# action. Linked into the program (static-libstdc++), it leaves libc the only shared library:
# start-up near an empty C program's, while the C library stays the system's and is updated
# with it. A fully static program starts faster still, but takes glibc's fixes only when it is
# rebuilt (and lintian reports it); shared is the toolchain's default.
set(ZEMBLARO_LINK static-libstdc++ CACHE STRING
  "How zemblaro links the runtime: static-libstdc++, static or shared")
set_property(CACHE ZEMBLARO_LINK PROPERTY STRINGS static-libstdc++ static shared)
if(NOT ZEMBLARO_LINK MATCHES "^(static-libstdc\\+\\+|static|shared)$")
  message(FATAL_ERROR "ZEMBLARO_LINK is not static-libstdc++, static or shared: ${ZEMBLARO_LINK}")
elseif(ZEMBLARO_INSTRUMENTED)
  # the toolchain's default, as above
elseif(ZEMBLARO_LINK STREQUAL "static-libstdc++")
  target_link_options(zemblaro PRIVATE -static-libstdc++ -static-libgcc)
elseif(ZEMBLARO_LINK STREQUAL "static")
  target_link_options(zemblaro PRIVATE -static)
endif()
