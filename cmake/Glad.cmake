# The OpenGL 3.3 core loader of the desktop builds (Linux and Windows), generated at build time
# from the Khronos registry that ships with Debian's glad.
find_program(GLAD_EXECUTABLE glad REQUIRED)
set(GLAD_DIR ${CMAKE_BINARY_DIR}/glad)
add_custom_command(
  OUTPUT ${GLAD_DIR}/src/gl.c ${GLAD_DIR}/include/glad/gl.h ${GLAD_DIR}/include/KHR/khrplatform.h
  COMMAND ${GLAD_EXECUTABLE} --quiet --api gl:core=3.3 --extensions= --reproducible
          --out-path ${GLAD_DIR} c
  COMMENT "Generating the OpenGL 3.3 core loader"
  VERBATIM)
add_library(glad STATIC ${GLAD_DIR}/src/gl.c)
target_include_directories(glad SYSTEM PUBLIC ${GLAD_DIR}/include)
