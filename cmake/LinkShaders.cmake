# Run by the build (cmake -DSOURCE=... -DBINARY=... -P LinkShaders.cmake): makes BINARY/newshaders
# a link to the repository's SOURCE/newshaders, so that what is started in the build folder (the
# demo, demo-live, demo-check) reads the repository's own shaders, and a shader saved there, in
# the studio say, is saved in the repository: the build never copies over an edit. A folder of
# copies that an older build left there is moved aside to newshaders.copied if it holds an edit
# (a file that differs from the repository's, or one the repository lacks), else removed.
set(link ${BINARY}/newshaders)
set(target ${SOURCE}/newshaders)
if(IS_SYMLINK ${link})
  file(READ_SYMLINK ${link} pointed)
  if(pointed STREQUAL target)
    return()
  endif()
  file(REMOVE ${link})
elseif(IS_DIRECTORY ${link})
  file(GLOB_RECURSE copies RELATIVE ${link} ${link}/*)
  set(edited)
  foreach(copy ${copies})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${link}/${copy} ${target}/${copy}
      RESULT_VARIABLE differs OUTPUT_QUIET ERROR_QUIET)
    if(differs)
      list(APPEND edited ${copy})
    endif()
  endforeach()
  if(edited)
    file(REMOVE_RECURSE ${link}.copied)
    file(RENAME ${link} ${link}.copied)
    list(JOIN edited ", " edited)
    message(WARNING "${link} held copies of the shaders with edits (${edited}): moved to "
      "${link}.copied. The build folder's newshaders is now the repository's own folder; carry "
      "the edits over to ${target} by hand.")
  else()
    file(REMOVE_RECURSE ${link})
  endif()
elseif(EXISTS ${link})
  file(REMOVE ${link})
endif()
file(CREATE_LINK ${target} ${link} SYMBOLIC)
