# libxlsxwriter, as the target xlsxwriter::xlsxwriter: through pkg-config
# where it is installed with its .pc file (Debian's libxlsxwriter-dev, MSYS2),
# else by its header and library wherever CMAKE_PREFIX_PATH or the toolchain
# (vcpkg) points. XLSXWRITER_INCLUDE_DIR: the folder holding xlsxwriter.h.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(XLSXWRITER QUIET IMPORTED_TARGET xlsxwriter)
endif()
if(TARGET PkgConfig::XLSXWRITER)
  add_library(xlsxwriter::xlsxwriter ALIAS PkgConfig::XLSXWRITER)
  find_path(XLSXWRITER_INCLUDE_DIR xlsxwriter.h HINTS ${XLSXWRITER_INCLUDEDIR} ${XLSXWRITER_INCLUDE_DIRS} REQUIRED)
else()
  find_path(XLSXWRITER_INCLUDE_DIR xlsxwriter.h REQUIRED)
  find_library(XLSXWRITER_LIBRARY NAMES xlsxwriter REQUIRED)
  add_library(xlsxwriter::xlsxwriter UNKNOWN IMPORTED)
  set_target_properties(xlsxwriter::xlsxwriter PROPERTIES
    IMPORTED_LOCATION ${XLSXWRITER_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${XLSXWRITER_INCLUDE_DIR})
  # A static library also needs zlib, which it writes its zip files with.
  find_package(ZLIB QUIET)
  if(ZLIB_FOUND)
    set_property(TARGET xlsxwriter::xlsxwriter APPEND PROPERTY INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
  endif()
endif()
