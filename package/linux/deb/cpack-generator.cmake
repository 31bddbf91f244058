# Read by cpack once per generator (CPACK_PROJECT_CONFIG_FILE): the Debian package takes the
# system layout (install component `system`, under /usr) and a stripped program; every other
# generator keeps the portable program folder (component `quietus`) as it is.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_QM_SYSTEM_PROJECT}")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES TRUE)
  # Folders made for the package get 0755 whatever the builder's umask.
  set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
