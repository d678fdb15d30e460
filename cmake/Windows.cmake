# The demo and demo-check for 64-bit Windows, cross-compiled with Debian's MinGW-w64 by
# scripts/build-windows (with the toolchain file cmake/mingw-w64.cmake), included by the
# top-level CMakeLists.txt in place of the desktop build: the same layers of src/ and
# tools/check/ as on Linux, the platform's Windows side from src/platform/windows/, on GLFW,
# libsndfile and OpenAL Soft built from Debian's sources (found through CMAKE_PREFIX_PATH).
# scripts/build-windows stages and zips the result.
find_package(glfw3 3.3 REQUIRED)
find_package(OpenAL CONFIG REQUIRED)
find_package(SndFile CONFIG REQUIRED)

# glm and stb are headers the same on every platform: the host's, seen through a folder of
# their own so that no other host header reaches the cross compiler.
set(HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${HOST_HEADERS})
foreach(headers glm stb)
  file(CREATE_LINK /usr/include/${headers} ${HOST_HEADERS}/${headers} SYMBOLIC)
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/Glad.cmake)

# Every layer in one library, as the two programs share it all.
add_library(demo_library STATIC ${DEMO_PLATFORM} ${DEMO_WINDOWS_PARTS} ${DEMO_DESKTOP} ${DEMO_HEADLESS_WINDOWS}
  ${DEMO_SOUND} ${DEMO_SHOW} ${DEMO_TRACKS} ${DEMO_COMMAND_LINE} ${DEMO_TOOLING})
target_include_directories(demo_library PUBLIC ${DEMO_SRC})
target_include_directories(demo_library SYSTEM PUBLIC ${HOST_HEADERS} ${HOST_HEADERS}/stb)
target_compile_definitions(demo_library PUBLIC GLFW_INCLUDE_NONE)
target_link_libraries(demo_library PUBLIC glad glfw OpenAL::OpenAL SndFile::sndfile)
demo_warnings(demo_library)

# Console programs, as on Linux (the demo's messages go to standard output), carrying their
# C and C++ runtimes; OpenAL Soft stays a DLL beside them, as its licence prefers. No time
# stamp in the files, so that a second build is the same byte for byte.
foreach(program demo demo-check)
  add_executable(${program})
  target_link_libraries(${program} PRIVATE demo_library)
  target_link_options(${program} PRIVATE -static -s -Wl,--no-insert-timestamp)
  demo_warnings(${program})
endforeach()
target_sources(demo PRIVATE ${DEMO_SRC}/main.cpp)
target_sources(demo-check PRIVATE ${CMAKE_SOURCE_DIR}/tools/check/main.cpp ${CMAKE_SOURCE_DIR}/tools/check/data_check.cpp)
