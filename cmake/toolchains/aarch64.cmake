# aarch64, little-endian, 64-bit: Debian's cross compiler, run under qemu-user.
set(zemblaro_processor aarch64)
set(zemblaro_triplet aarch64-linux-gnu)
set(zemblaro_multiarch aarch64-linux-gnu)
set(zemblaro_emulator qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/cross-linux.cmake)
