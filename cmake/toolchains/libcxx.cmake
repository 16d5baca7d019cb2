# clang with libc++, the standard library of Apple's toolchain, on this machine. GoogleTest is
# built from its sources (ZEMBLARO_GTEST_SOURCE): the packaged one is built for libstdc++.
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_FLAGS_INIT -stdlib=libc++)
set(CMAKE_EXE_LINKER_FLAGS_INIT -stdlib=libc++)
set(ZEMBLARO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources, built here")
