# find_package(wlanmgr) gives the imported target wlanmgr::wlanmgr: libwlanmgr.so and the
# include folder of <wlanmgr.h>. The device's libraries (liblog, libubox, libubus, libuci, the
# work-queue and WPS libraries) are dependencies of libwlanmgr.so itself; the linker finds them
# in the system or sysroot library folders.
include(${CMAKE_CURRENT_LIST_DIR}/wlanmgrTargets.cmake)
