# 64-bit ARM (Debian's arm64): Raspberry Pi 3, 4, 5 and Zero 2 W with a 64-bit system.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(VORPA_TRIPLE aarch64-linux-gnu)
set(VORPA_DEB_ARCHITECTURE arm64)
set(VORPA_QEMU qemu-aarch64-static)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
