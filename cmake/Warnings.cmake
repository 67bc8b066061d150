# Every target of ours compiles with these warnings; presets add sanitizers.
add_library(transorvano_warnings INTERFACE)
target_compile_options(transorvano_warnings INTERFACE -Wall -Wextra)
