# Checks that the engine stands on QtCore alone: no source of it includes a
# header of the windows, the widgets or the application, or of Qt's GUI
# modules, and its library links none of them. Run with -P and:
#   ENGINE_DIR  the engine's source folder
#   LINKS       the engine library's link libraries
file(GLOB sources ${ENGINE_DIR}/*.h ${ENGINE_DIR}/*.cpp)
set(faults "")
foreach(source IN LISTS sources)
  file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "\"gui/" OR line MATCHES "<Qt(Widgets|Gui|Svg)/"
       OR line MATCHES "<Q(Widget|Dialog|MessageBox|Application|Window|Pixmap|Icon)>")
      cmake_path(GET source FILENAME name)
      string(APPEND faults "  ${name}: ${line}\n")
    endif()
  endforeach()
endforeach()
foreach(library IN LISTS LINKS)
  if(library MATCHES "Qt6::(Widgets|Gui|Svg)|tarvine_gui")
    string(APPEND faults "  the library links ${library}\n")
  endif()
endforeach()
if(faults)
  message(FATAL_ERROR "The engine reaches into the window's side:\n${faults}")
endif()
message(STATUS "The engine needs nothing beyond QtCore and the core.")
