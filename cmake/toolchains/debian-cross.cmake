# A Linux build for another processor with Debian's own cross compiler and its multiarch Qt
# (qt6-base-dev:ARCH beside the machine's own; tools/setup.sh --arch ARCH installs them). Included
# by the toolchain file of each architecture, which sets VORPA_TRIPLE, VORPA_DEB_ARCHITECTURE and
# VORPA_QEMU first.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${VORPA_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${VORPA_TRIPLE}-g++)
# Libraries and CMake packages come from /usr/lib/<triple>.
set(CMAKE_LIBRARY_ARCHITECTURE ${VORPA_TRIPLE})

# moc, rcc and uic are the machine's own.
execute_process(COMMAND dpkg-architecture -qDEB_BUILD_MULTIARCH
                OUTPUT_VARIABLE build_triple OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(QT_HOST_PATH /usr)
set(Qt6HostInfo_DIR /usr/lib/${build_triple}/cmake/Qt6HostInfo)

# pkg-config (for xcb) reads the target's .pc files, not the machine's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${VORPA_TRIPLE}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# CTest starts every test program through the emulator, so no binfmt_misc is needed.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/${VORPA_QEMU})
