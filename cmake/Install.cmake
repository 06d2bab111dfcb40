# What `cmake --install` puts into the prefix: libwlanmgr.so with its soname links, the exported
# headers under include/wlanmgr (hosts include <wlanmgr.h>; the folder keeps names such as
# wpa_ctrl.h from meeting the supplicant's own), the CMake package (find_package(wlanmgr) gives
# wlanmgr::wlanmgr) and libwlanmgr.pc. The static archive the tests link and everything in
# host/ stay in the build tree: a build that used stand-ins installs the library alone, and the
# stand-ins are never installed, so they cannot pass for the device's libraries. On a
# development machine a program linked against such an install finds them through
# LD_LIBRARY_PATH (the build's host/<name> folders).
include(CMakePackageConfigHelpers)

set(WLANMGR_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/wlanmgr)
set(WLANMGR_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/wlanmgr)

target_include_directories(wlanmgr INTERFACE $<INSTALL_INTERFACE:${WLANMGR_INSTALL_INCLUDEDIR}>)

# Debian keeps liblog outside the linker's default folders (.../android): a native install
# records that folder, as the build tree does. A cross build for the device never records one.
get_filename_component(_wlan_liblog_dir ${LIBLOG_LIBRARY} DIRECTORY)
if(NOT CMAKE_CROSSCOMPILING AND NOT _wlan_liblog_dir IN_LIST CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES)
  set_property(TARGET wlanmgr APPEND PROPERTY INSTALL_RPATH ${_wlan_liblog_dir})
endif()

install(TARGETS wlanmgr EXPORT wlanmgrTargets LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
file(GLOB WLANMGR_HEADERS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/include/*.h)
install(FILES ${WLANMGR_HEADERS} DESTINATION ${WLANMGR_INSTALL_INCLUDEDIR})

# The package's interface is the library alone: the device's libraries come with it through
# libwlanmgr.so's own dependencies, and no exported header includes theirs.
install(EXPORT wlanmgrTargets NAMESPACE wlanmgr:: DESTINATION ${WLANMGR_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/wlanmgrConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES cmake/wlanmgrConfig.cmake ${CMAKE_BINARY_DIR}/wlanmgrConfigVersion.cmake
        DESTINATION ${WLANMGR_INSTALL_CMAKEDIR})

# libwlanmgr.pc names the prefix it is installed to (`cmake --install --prefix` may differ from
# the configured one), so its prefix is filled in when installing.
foreach(_kind LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${_kind}}")
    set(WLANMGR_PC_${_kind} "${CMAKE_INSTALL_${_kind}}")
  else()
    set(WLANMGR_PC_${_kind} "\${prefix}/${CMAKE_INSTALL_${_kind}}")
  endif()
endforeach()
set(WLANMGR_PC_PREFIX "@CMAKE_INSTALL_PREFIX@")
configure_file(cmake/libwlanmgr.pc.in ${CMAKE_BINARY_DIR}/pkgconfig/libwlanmgr.pc.in @ONLY)
install(CODE "set(_wlan_pc_dir \"${CMAKE_BINARY_DIR}/pkgconfig\")
              set(_wlan_libdir \"${CMAKE_INSTALL_LIBDIR}\")")
install(CODE [[
  if(NOT IS_ABSOLUTE "${_wlan_libdir}")
    set(_wlan_libdir "${CMAKE_INSTALL_PREFIX}/${_wlan_libdir}")
  endif()
  configure_file("${_wlan_pc_dir}/libwlanmgr.pc.in" "${_wlan_pc_dir}/libwlanmgr.pc" @ONLY)
  file(INSTALL DESTINATION "${_wlan_libdir}/pkgconfig" TYPE FILE
       FILES "${_wlan_pc_dir}/libwlanmgr.pc")
]])
