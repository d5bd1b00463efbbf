# Install step: writes the desktop entry with the launcher's path under the
# prefix given at install time (cmake --install --prefix ...), which may differ
# from the one the build was configured with.
set(bindir "${CMAKE_INSTALL_PREFIX}/${TESS_BINDIR}")
set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${TESS_DATADIR}/applications/tessarine.desktop")
file(READ "${TESS_DESKTOP_IN}" text)
string(REPLACE "@TESS_LAUNCHER@" "${bindir}/tessarine-launch" text "${text}")
message(STATUS "Installing: ${target}")
file(WRITE "${target}" "${text}")
