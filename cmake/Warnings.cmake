# Project-wide warning set: clean under -Wall -Wextra is the bar.
function(vyla_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wnon-virtual-dtor
      $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>)
  endif()
endfunction()
