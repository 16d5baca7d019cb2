# s390x, big-endian, 64-bit: Debian's cross compiler, run under qemu-user.
set(zemblaro_processor s390x)
set(zemblaro_triplet s390x-linux-gnu)
set(zemblaro_multiarch s390x-linux-gnu)
set(zemblaro_emulator qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/cross-linux.cmake)
