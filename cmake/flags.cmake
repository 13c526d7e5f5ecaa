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
# GCC 12 reports -Wrestrict for "literal" + std::string when it inlines at -O2 (a known false
# positive of that release); it says nothing about this code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(solka_flags INTERFACE -Wno-restrict)
endif()
