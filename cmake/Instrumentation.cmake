# Sanitizers and hardening, each set of flags stated once and added to every
# target of the tree, so presets only switch them on and can be composed
# without one preset's flags silently replacing another's.
set(CORVANE_SANITIZERS "" CACHE STRING
  "Sanitizers to build with, as -fsanitize= takes them: address,undefined or thread")
option(CORVANE_HARDENED "Hardening flags as Debian builds its own programs" OFF)

if(CORVANE_SANITIZERS)
  add_compile_options(-fsanitize=${CORVANE_SANITIZERS} -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${CORVANE_SANITIZERS})
endif()
if(CORVANE_FUZZ)
  # Coverage for libFuzzer everywhere; only the fuzzers link its main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
if(CORVANE_HARDENED)
  add_compile_definitions(_FORTIFY_SOURCE=2)
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
