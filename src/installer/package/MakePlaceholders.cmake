# The stand-ins for the files this project does not build, for tests and
# demonstrations: small text files for the handheld program and the conduit
# (nothing here ever loads them) and the Palm Desktop simulator's
# userdata.dll.  Run with cmake -P; OUT is the folder, USERDATA the
# simulator's library.
file(MAKE_DIRECTORY "${OUT}")
file(WRITE "${OUT}/lockwell.prc"
     "Placeholder for the Lockwell handheld program.  A real package carries the Palm OS application here.\n")
file(WRITE "${OUT}/lwconduit.dll"
     "Placeholder for the Lockwell HotSync conduit.  A real package carries the conduit library here.\n")
file(COPY_FILE "${USERDATA}" "${OUT}/userdata.dll")
