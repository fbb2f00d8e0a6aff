# The Windows compile check: every source of the program (ANAG_PROGRAMMA_SOURCES)
# and the code moc wrote for its classes, compiled for Windows by Debian's
# MinGW-w64 cross compiler against Qt's headers, syntax and semantics only:
# Qt's headers define Q_OS_WIN from the compiler's _WIN32, so the
# Windows-only paths are compiled and the Linux-only ones left out. Nothing is
# linked (there is no Qt for Windows to link with here). The target exists
# when the compiler is installed (scripts/controllo-windows.sh installs it).
find_program(ANAGSOST_MINGW_CXX x86_64-w64-mingw32-g++-posix)
if(NOT ANAGSOST_MINGW_CXX)
  return()
endif()

set(_opzioni -std=c++17 -fsyntax-only -Wall -Wextra -Wpedantic -Werror
    # Qt's Linux headers declare their functions without dllimport.
    -Wno-attributes
    -I${CMAKE_CURRENT_SOURCE_DIR})
foreach(_qt Qt6::Core Qt6::Gui Qt6::Network Qt6::Sql Qt6::Widgets Qt6::PrintSupport)
  get_target_property(_dirs ${_qt} INTERFACE_INCLUDE_DIRECTORIES)
  foreach(_dir ${_dirs})
    list(APPEND _opzioni -I${_dir})
  endforeach()
endforeach()
foreach(_dir ${PostgreSQL_INCLUDE_DIRS})
  list(APPEND _opzioni -I${_dir})
endforeach()
# libxlsxwriter's headers, copied into a folder of their own: its folder here
# is /usr/include, whose Linux headers must not stand in for MinGW's.
set(_xlsxwriter ${CMAKE_CURRENT_BINARY_DIR}/controllo_windows/include)
file(COPY ${XLSXWRITER_INCLUDE_DIR}/xlsxwriter.h ${XLSXWRITER_INCLUDE_DIR}/xlsxwriter DESTINATION ${_xlsxwriter})
list(APPEND _opzioni -I${_xlsxwriter})

set(_comandi)
set(_librerie anagchecks anagstore anagstartup anagregistry anagwindow anagsost)
foreach(_t ${_librerie})
  # Headers moc wrote, for the sources that include them.
  list(APPEND _opzioni -I${CMAKE_CURRENT_BINARY_DIR}/${_t}_autogen/include)
endforeach()
set(_sorgenti ${ANAG_PROGRAMMA_SOURCES})
list(FILTER _sorgenti INCLUDE REGEX "\\.cpp$")
foreach(_t ${_librerie})
  list(APPEND _sorgenti ${CMAKE_CURRENT_BINARY_DIR}/${_t}_autogen/mocs_compilation.cpp)
endforeach()
foreach(_s ${_sorgenti})
  if(NOT IS_ABSOLUTE ${_s})
    set(_s ${CMAKE_CURRENT_SOURCE_DIR}/${_s})
  endif()
  list(APPEND _comandi COMMAND ${CMAKE_COMMAND} -E echo "windows: ${_s}"
                       COMMAND ${ANAGSOST_MINGW_CXX} ${_opzioni} ${_s})
endforeach()
add_custom_target(controllo_windows ${_comandi} VERBATIM
                  COMMENT "Compilazione di controllo per Windows (MinGW-w64, solo sintassi)")
# The moc'd files must be there.
add_dependencies(controllo_windows ${_librerie})
