# The project's warnings, shared by the desktop build and the web build: on for its own code
# (generated and system code keeps its own), and errors with DEMO_WARNINGS_AS_ERRORS.
option(DEMO_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

function(demo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wnon-virtual-dtor -Wcast-align -Wnull-dereference -Wdouble-promotion)
  if(DEMO_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
