# Read by cpack for each generator: the DEB takes the Debian component, the TGZ the Portable one.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(component Debian)
else()
  set(component Portable)
endif()
list(TRANSFORM CPACK_INSTALL_CMAKE_PROJECTS REPLACE "^ALL$" ${component})
