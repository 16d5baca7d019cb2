# How the program is linked: link-time optimisation, and a start-up that costs no more than an
# empty process. Included from the top-level CMakeLists.txt once the product targets exist.
#
# Instrumented builds (sanitizers, libFuzzer, coverage) keep the toolchain's default linking,
# the one their runtimes are built for (the address sanitizer refuses a static link), and no LTO,
# which would only slow their builds.
if(ZEMBLARO_FUZZ OR CMAKE_CXX_FLAGS MATCHES "-fsanitize|--coverage")
  set(zemblaro_instrumented ON)
else()
  set(zemblaro_instrumented OFF)
endif()

# LTO lets the converters inline into the self-test's exhaustive loop, whose speed depends on it.
# It is set on the product targets whatever the preset, unless the cache turns it off.
# Targets defined later (tests, benchmarks, fuzz replays) link the same LTO objects and so get it
# too, through the variable.
include(CheckIPOSupported)
if(NOT zemblaro_instrumented AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug"
   AND (CMAKE_INTERPROCEDURAL_OPTIMIZATION OR NOT DEFINED CMAKE_INTERPROCEDURAL_OPTIMIZATION))
  check_ipo_supported(RESULT zemblaro_ipo OUTPUT zemblaro_ipo_output LANGUAGES CXX)
  if(zemblaro_ipo)
    set_property(TARGET ${zemblaro_layers} zemblaro
      PROPERTY INTERPROCEDURAL_OPTIMIZATION ON)
    set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
  else()
    message(WARNING "No link-time optimisation: ${zemblaro_ipo_output}")
  endif()
endif()

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
elseif(zemblaro_instrumented)
  # the toolchain's default, as above
elseif(ZEMBLARO_LINK STREQUAL "static-libstdc++")
  target_link_options(zemblaro PRIVATE -static-libstdc++ -static-libgcc)
elseif(ZEMBLARO_LINK STREQUAL "static")
  target_link_options(zemblaro PRIVATE -static)
endif()
