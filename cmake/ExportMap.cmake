# Writes the linker version script of libwlanmgr.so from cmake/exported_names.txt: the listed
# plain names and the members of the four exported classes are global, everything else local
# (this also keeps template instantiations from the C++ library out of the interface).
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/cmake/exported_names.txt _export_lines)
set(_globals "")
foreach(_line ${_export_lines})
  if(_line MATCHES "^[A-Za-z_]")
    string(APPEND _globals "    ${_line};\n")
  endif()
endforeach()
set(WLANMGR_EXPORT_MAP ${CMAKE_BINARY_DIR}/libwlanmgr.map)
file(WRITE ${WLANMGR_EXPORT_MAP} "{
  global:
${_globals}    extern \"C++\" {
      HostapdAgent::*;
      StaList::*;
      StaListItem::*;
      UbusAssistant::*;
    };
  local: *;
};
")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_CURRENT_SOURCE_DIR}/cmake/exported_names.txt)
