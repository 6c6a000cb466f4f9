# Assembles the installation folder: run as a script by the installer_package
# target (cmake -P) with these variables:
#   OUT        the package folder (emptied first)
#   SETUP      UNINSTALL     the two programs of the installer
#   PROGRAM    the desktop program (empty when it is not built)
#   LICENSE    the licence text        HELP_DIR   the folder of the help files
#   EXTRAS_DIR the folder with lockwell.prc, lwconduit.dll and userdata.dll
#   HELP_FILES the help files, ;-separated
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")

file(COPY "${SETUP}" "${UNINSTALL}" DESTINATION "${OUT}"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
if(PROGRAM)
  # The desktop program travels as LockwellPC.dat; setup names it again.
  file(COPY_FILE "${PROGRAM}" "${OUT}/LockwellPC.dat")
  file(CHMOD "${OUT}/LockwellPC.dat"
       PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
else()
  message(WARNING "LockwellPC is not built: the package lacks LockwellPC.dat and setup will stop when it copies it.")
endif()
file(COPY_FILE "${LICENSE}" "${OUT}/license.txt")

foreach(name IN LISTS HELP_FILES)
  if(NOT EXISTS "${HELP_DIR}/${name}")
    message(FATAL_ERROR "help file missing: ${HELP_DIR}/${name}")
  endif()
  file(COPY_FILE "${HELP_DIR}/${name}" "${OUT}/${name}")
endforeach()

foreach(name lockwell.prc lwconduit.dll userdata.dll)
  if(NOT EXISTS "${EXTRAS_DIR}/${name}")
    message(FATAL_ERROR "${name} is not in ${EXTRAS_DIR} (LOCKWELL_PACKAGE_EXTRAS_DIR)")
  endif()
  file(COPY_FILE "${EXTRAS_DIR}/${name}" "${OUT}/${name}")
endforeach()
