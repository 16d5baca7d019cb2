# i686, 32-bit, without a 128-bit integer type: Debian's cross compiler (g++-multilib would
# remove the cross compilers), run under qemu-user: not every x86-64 kernel runs 32-bit programs.
set(zemblaro_processor i686)
set(zemblaro_triplet i686-linux-gnu)
set(zemblaro_multiarch i386-linux-gnu)
set(zemblaro_emulator qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/cross-linux.cmake)
