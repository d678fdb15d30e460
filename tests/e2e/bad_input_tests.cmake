# Read by CTest when it runs (a test include file, as test discovery uses): one
# e2e.bad_input.<name> test for each file of the show's data table, which the build writes to
# show_data.txt. Set before inclusion: SHOW_DATA, BAD_INPUT_SCRIPT and E2E_ENV.
if(NOT EXISTS "${SHOW_DATA}")
  add_test(e2e.bad_input sh -c "echo '${SHOW_DATA} is missing: build first' >&2; exit 1")
  return()
endif()
file(STRINGS "${SHOW_DATA}" entries)
set(files)
foreach(entry IN LISTS entries)
  string(REPLACE " " ";" fields "${entry}")
  list(POP_FRONT fields)  # what the files are: program, picture or tune
  list(APPEND files ${fields})
endforeach()
list(REMOVE_DUPLICATES files)
foreach(file IN LISTS files)
  get_filename_component(name "${file}" NAME)
  add_test(e2e.bad_input.${name} bash "${BAD_INPUT_SCRIPT}" "${file}")
  set_tests_properties(e2e.bad_input.${name} PROPERTIES ENVIRONMENT "${E2E_ENV}" TIMEOUT 300)
endforeach()
