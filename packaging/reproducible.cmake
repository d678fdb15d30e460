# Makes two packagings of the same build byte-identical. Read by CPack twice: as its project
# configuration, where SOURCE_DATE_EPOCH defaults to the changelog's date (the DEB generator
# takes its timestamps from it), and before each archive is made, where every staged file and
# folder is given that time (the archive generators take the files' own).
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} "${CPACK_DEMO_RELEASE_DATE}")
endif()
if(CPACK_TEMPORARY_INSTALL_DIRECTORY)
  execute_process(COMMAND find ${CPACK_TEMPORARY_INSTALL_DIRECTORY} -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} +
    COMMAND_ERROR_IS_FATAL ANY)
endif()
