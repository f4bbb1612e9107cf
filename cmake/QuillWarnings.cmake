# Warnings are errors-in-waiting: keep the build clean under these.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wimplicit-fallthrough)

if(QUILL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined)
endif()

# Project sources include one another from the top of the tree: #include "decode/catalogue.h".
include_directories(${PROJECT_SOURCE_DIR})
