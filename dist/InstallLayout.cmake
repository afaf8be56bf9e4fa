# Runs at install time, when the prefix is known for certain (it may be
# given only to `cmake --install --prefix`): the launcher on bin/ and the
# desktop entry that names it.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(program "${root}/${TARVINE_INSTALL_PROGRAM_FOLDER}/tarvine")

file(MAKE_DIRECTORY "${root}/bin")
file(RELATIVE_PATH target "${root}/bin" "${program}")
file(REMOVE "${root}/bin/tarvine")
file(CREATE_LINK "${target}" "${root}/bin/tarvine" SYMBOLIC)
message(STATUS "Installing: ${root}/bin/tarvine -> ${target}")

set(TARVINE_LAUNCHER "${CMAKE_INSTALL_PREFIX}/bin/tarvine")
configure_file("${TARVINE_DIST_DIR}/tarvine.desktop.in" "${root}/share/applications/tarvine.desktop" @ONLY)
message(STATUS "Installing: ${root}/share/applications/tarvine.desktop")
