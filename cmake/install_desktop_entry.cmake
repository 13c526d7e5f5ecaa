# Runs at install time: writes the desktop entry with the program's absolute installed path in
# Exec, so "Open with" works whether or not the install's bin folder is on PATH. The prefix is
# the one given to `cmake --install --prefix`, not the configure-time one.
# Inputs: SOLKA_DESKTOP_TEMPLATE, SOLKA_BINDIR and SOLKA_DATADIR (relative to the prefix).
set(program "${CMAKE_INSTALL_PREFIX}/${SOLKA_BINDIR}/solka")
file(READ "${SOLKA_DESKTOP_TEMPLATE}" entry)
string(REPLACE "@SOLKA_PROGRAM@" "${program}" entry "${entry}")
set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${SOLKA_DATADIR}/applications")
file(MAKE_DIRECTORY "${folder}")
file(WRITE "${folder}/solka.desktop" "${entry}")
message(STATUS "Installing: ${folder}/solka.desktop")
