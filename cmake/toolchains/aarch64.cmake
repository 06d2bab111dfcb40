# Cross-build for 64-bit ARM (AArch64) with Debian's cross compiler (g++-aarch64-linux-gnu).
# Libraries that the build looks for come from Debian's multiarch packages for arm64
# (libgtest-dev:arm64, ...). Programs built for the target run under qemu-user, so ctest and
# gtest_discover_tests work on the build machine. scripts/cross-test installs all of it.
set(WLAN_CROSS_TRIPLE aarch64-linux-gnu)
set(WLAN_CROSS_QEMU qemu-aarch64)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
