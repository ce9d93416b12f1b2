# corvane_warnings: link it to every target of ours.
add_library(corvane_warnings INTERFACE)
if(MSVC)
  target_compile_options(corvane_warnings INTERFACE /W4 /permissive- /utf-8)
  if(CORVANE_PEDANTIC)
    target_compile_options(corvane_warnings INTERFACE /WX)
  endif()
else()
  target_compile_options(corvane_warnings INTERFACE -Wall -Wextra)
  if(CORVANE_PEDANTIC)
    target_compile_options(corvane_warnings INTERFACE
      -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast
      -Wnon-virtual-dtor -Woverloaded-virtual -Wnull-dereference -Werror)
  endif()
endif()
