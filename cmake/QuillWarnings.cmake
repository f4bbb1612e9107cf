# Warnings are errors-in-waiting: keep the build clean under these.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wimplicit-fallthrough)

if(QUILL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined)
endif()
# CI builds (.ci/run) turn every warning into an error.
option(QUILL_WERROR "Treat warnings as errors" OFF)
if(QUILL_WERROR)
  add_compile_options(-Werror)
endif()
