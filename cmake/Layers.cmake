# The library in src/, layer by layer, said once for every build: the desktop's (CMakeLists.txt),
# the Windows one (cmake/Windows.cmake) and the page's (web/CMakeLists.txt) take their sources
# from these lists alone. From the bottom up: platform/, sound/, show/, tooling/; a layer
# includes only the layers below it, and none includes a program's own code (tools/).
# DEMO_<LAYER> holds absolute paths; adding a file to a layer is one word here.
get_filename_component(DEMO_SRC ${CMAKE_CURRENT_LIST_DIR}/../src ABSOLUTE)

# Absolute paths of FILES in src/FOLDER/, into OUT.
function(demo_sources out folder)
  list(TRANSFORM ARGN PREPEND ${DEMO_SRC}/${folder}/ OUTPUT_VARIABLE files)
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# platform/: what the layers above ask of the machine. What every platform shares; then the
# small interfaces each platform implements on its own side (src/platform/ for POSIX, the web
# page's emscripten among them, src/platform/windows/ for Windows), of which the show needs the
# first two; the desktop's window and contexts through the window library; and a context
# without a display, which only the companion programs link (the demo never links EGL).
demo_sources(DEMO_PLATFORM platform data_file.cpp)
set(DEMO_PLATFORM_PART_NAMES data_file_open.cpp thread_name.cpp interrupt.cpp muted_stderr.cpp wake_up.cpp)
demo_sources(DEMO_POSIX_PARTS platform ${DEMO_PLATFORM_PART_NAMES})
demo_sources(DEMO_WINDOWS_PARTS platform/windows ${DEMO_PLATFORM_PART_NAMES})
demo_sources(DEMO_SHOW_POSIX_PARTS platform data_file_open.cpp thread_name.cpp)
demo_sources(DEMO_DESKTOP platform window.cpp gl_context.cpp)
demo_sources(DEMO_HEADLESS_POSIX platform headless_context.cpp)
demo_sources(DEMO_HEADLESS_WINDOWS platform/windows headless_context.cpp)

# sound/: the sound engine and its streaming thread, the music reader and the demo's music start.
demo_sources(DEMO_SOUND sound music.cpp music_reader.cpp sound_device.cpp sound_engine.cpp music_stream.cpp)

# show/: the show itself: its schedule and data table, the scenes and their quads, the program
# builder and the demo's Shader, the picture and its texture; and its tracks, read and written
# without GL, which the build-time synth links on their own.
demo_sources(DEMO_SHOW show timeline.cpp scenes.cpp mesh.cpp program_builder.cpp shader.cpp picture.cpp
  stb_image.cpp texture.cpp)
demo_sources(DEMO_TRACKS show tracks.cpp track_reader.cpp)

# tooling/: what only the companion programs use. Their command lines on their own, for the
# build-time tools that link nothing else; then off-screen drawing, the data diagnostics (a
# build's logs as findings, programs checked against the demo's interface), the flash analysis
# and its report, and the progress of long runs.
demo_sources(DEMO_COMMAND_LINE tooling command_line.cpp)
demo_sources(DEMO_TOOLING tooling framebuffer.cpp supersampler.cpp offscreen.cpp pixels.cpp shader_log.cpp build_report.cpp
  program_check.cpp flash_analyser.cpp flash_report.cpp flash_pass.cpp progress.cpp)

# The layers' rule, checked each time a build is configured: a file of src/ includes from its
# own layer and those below it only, and nothing of a program's own.
set(DEMO_LAYERS platform sound show tooling)
foreach(layer IN LISTS DEMO_LAYERS)
  list(FIND DEMO_LAYERS ${layer} top)
  list(SUBLIST DEMO_LAYERS 0 ${top} allowed)
  list(APPEND allowed ${layer})
  file(GLOB_RECURSE files ${DEMO_SRC}/${layer}/*.hpp ${DEMO_SRC}/${layer}/*.cpp)
  foreach(file IN LISTS files)
    file(STRINGS ${file} includes REGEX "^#include \"")
    foreach(include IN LISTS includes)
      string(REGEX MATCH "^#include \"([^/\"]*)/" from "${include}")
      if(NOT CMAKE_MATCH_1 IN_LIST allowed)
        message(FATAL_ERROR "${file}: ${include} reaches out of ${layer}/ and the layers below it "
          "(${allowed}); see CONVENTIONS.md")
      endif()
    endforeach()
  endforeach()
endforeach()
