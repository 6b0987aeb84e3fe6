# Strict warnings for the project's own targets; third-party code keeps its own flags.
function(varnelt_strict target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wcast-qual
    -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Werror)
endfunction()
