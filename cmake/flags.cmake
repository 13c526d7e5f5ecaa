# Flags every target of the project shares.
add_library(solka_flags INTERFACE)
target_compile_options(solka_flags INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(DEFINED ENV{CI})
  target_compile_options(solka_flags INTERFACE -Werror)
endif()
if(SOLKA_SANITIZE)
  target_compile_options(solka_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                               -fno-sanitize-recover=undefined)
  target_link_options(solka_flags INTERFACE -fsanitize=address,undefined)
endif()
