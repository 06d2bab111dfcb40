# What the ARM toolchain files share; they set WLAN_CROSS_TRIPLE, WLAN_CROSS_QEMU and
# CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${WLAN_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${WLAN_CROSS_TRIPLE}-g++)

# Debian's multiarch layout: target libraries in /usr/lib/<triple> (which the cross compilers
# search by themselves), CMake package files in /usr/lib/<triple>/cmake; the C library and
# libstdc++ of the cross compiler live in /usr/<triple>.
set(CMAKE_LIBRARY_ARCHITECTURE ${WLAN_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH /usr/${WLAN_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# Rerooted first, then the multiarch directories of the build machine's /usr; the machine's own
# libraries sit in /usr/lib/<its triple>, which is never searched for this architecture.
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Target programs run under qemu-user. Their C and C++ runtime is Debian's multiarch one
# (libc6:<arch>, libstdc++6:<arch>) at the paths the programs name, as on an ARM machine; qemu's
# -L /usr/<triple> (the cross compiler's own C library) is not used: under qemu 7.2 a program
# that starts a thread crashes with it.
find_program(WLAN_CROSS_QEMU_PATH NAMES ${WLAN_CROSS_QEMU} ${WLAN_CROSS_QEMU}-static)
if(WLAN_CROSS_QEMU_PATH)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WLAN_CROSS_QEMU_PATH})
endif()
