# What the desktop builds share (this one, and the Windows one in windows/): the OpenGL 3.3 core
# loader, generated from the Khronos registry that ships with Debian's glad, and the library's
# sources. DEMO_PLATFORM_PARTS names the small interfaces each platform implements on its own
# side (the data files' opening, stderr muting, interrupts, the streaming thread's wake-up and
# the threads' names): src/ holds the POSIX side, windows/ the Windows one.
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

get_filename_component(DEMO_SRC ${CMAKE_CURRENT_LIST_DIR}/../src ABSOLUTE)
# Everything but the entry and the platform's parts.
set(DEMO_CORE_SOURCES window.cpp gl_context.cpp framebuffer.cpp timeline.cpp flash_analyser.cpp
  flash_pass.cpp scenes.cpp program_builder.cpp shader.cpp mesh.cpp texture.cpp data_file.cpp
  stb_image.cpp sound_engine.cpp sound_device.cpp music.cpp music_reader.cpp)
list(TRANSFORM DEMO_CORE_SOURCES PREPEND ${DEMO_SRC}/)
set(DEMO_PLATFORM_PARTS data_file_open.cpp muted_stderr.cpp interrupt.cpp wake_up.cpp thread_name.cpp)
# The data diagnostics (demo-check's report) and off-screen rendering (a display-less context
# on egl_context.cpp, a platform's part of its own).
set(DEMO_DIAGNOSTICS_SOURCES ${DEMO_SRC}/diagnostics.cpp ${DEMO_SRC}/shader_log.cpp)
set(DEMO_OFFSCREEN_SOURCES ${DEMO_SRC}/offscreen.cpp ${DEMO_SRC}/progress.cpp)
# How the companion programs read their command lines and answer --help and bad options.
set(DEMO_COMMAND_LINE_SOURCES ${DEMO_SRC}/command_line.cpp)
