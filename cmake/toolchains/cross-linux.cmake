# A Linux host other than the build machine's, with Debian's cross compiler for the triplet
# zemblaro_triplet and its multiarch libraries (GMP and GoogleTest of that architecture, from
# dpkg --add-architecture), whose loader and libraries sit where the target's programs look
# for them; zemblaro_emulator (qemu-user) runs them for the tests.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${zemblaro_processor})
set(CMAKE_CXX_COMPILER ${zemblaro_triplet}-g++)
set(CMAKE_CROSSCOMPILING_EMULATOR ${zemblaro_emulator})
# A test's time limit for the program stretches by this much under the emulator.
set(ZEMBLARO_SLOWDOWN 4)
# pkg-config looks at the target's libraries only.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${zemblaro_multiarch}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
