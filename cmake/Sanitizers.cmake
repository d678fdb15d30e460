# AddressSanitizer and UndefinedBehaviorSanitizer over everything built here (the demo, its
# tools and its tests), for a build directory of its own (scripts/test-sanitized). Undefined
# behaviour stops the program like an address error does, so no test can pass over one.
option(DEMO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(DEMO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# The fuzz targets need clang's libFuzzer; they are built with the sanitizers only.
if(DEMO_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(DEMO_FUZZ ON)
endif()
