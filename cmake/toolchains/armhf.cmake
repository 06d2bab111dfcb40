# Cross-build for 32-bit ARM (ARMv7, hard float) with Debian's cross compiler
# (g++-arm-linux-gnueabihf). Libraries that the build looks for (GoogleTest, liblog, json-c)
# come from Debian's multiarch packages for armhf (libgtest-dev:armhf, ...). Programs built
# for the target run under qemu-user, so ctest and gtest_discover_tests work on the build
# machine. scripts/cross-test installs all of it.
set(WLAN_CROSS_TRIPLE arm-linux-gnueabihf)
set(WLAN_CROSS_QEMU qemu-arm)
set(CMAKE_SYSTEM_PROCESSOR arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
