# 32-bit ARM with hardware floating point, ARMv7 and later (Debian's armhf): Raspberry Pi 2 and
# later with a 32-bit system.
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(VORPA_TRIPLE arm-linux-gnueabihf)
set(VORPA_DEB_ARCHITECTURE armhf)
set(VORPA_QEMU qemu-arm-static)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
