# Runs at install time, when the prefix is known for certain (it may be
# given only to `cmake --install --prefix`): the launchers on bin/ and the
# desktop entry that names it.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

file(MAKE_DIRECTORY "${root}/bin")
foreach(name tarvine tarvine-convert)
  file(RELATIVE_PATH target "${root}/bin" "${root}/${TARVINE_INSTALL_PROGRAM_FOLDER}/${name}")
  file(REMOVE "${root}/bin/${name}")
  file(CREATE_LINK "${target}" "${root}/bin/${name}" SYMBOLIC)
  message(STATUS "Installing: ${root}/bin/${name} -> ${target}")
endforeach()

set(TARVINE_LAUNCHER "${CMAKE_INSTALL_PREFIX}/bin/tarvine")
configure_file("${TARVINE_DIST_DIR}/tarvine.desktop.in" "${root}/share/applications/tarvine.desktop" @ONLY)
message(STATUS "Installing: ${root}/share/applications/tarvine.desktop")
