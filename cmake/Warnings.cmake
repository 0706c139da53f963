# Project-wide warning set: clean under -Wall -Wextra is the bar.
function(vyla_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow=local -Wnon-virtual-dtor)
  endif()
endfunction()
