# One interface target carries the compiler flags every target of the project shares.
add_library(mirvo_flags INTERFACE)
target_compile_options(mirvo_flags INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic>)
target_include_directories(mirvo_flags INTERFACE ${PROJECT_SOURCE_DIR})

option(MIRVO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(MIRVO_SANITIZE)
  target_compile_options(mirvo_flags INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(mirvo_flags INTERFACE -fsanitize=address,undefined)
endif()

# mirvo_embed_file(<target> <symbol> <file>): compiles the bytes of <file> into
# <target> as `extern const unsigned char <symbol>[]` and `<symbol>_size`.
function(mirvo_embed_file target symbol file)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/embed_${symbol}.cpp)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${file} -DOUTPUT=${out} -DSYMBOL=${symbol}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
    DEPENDS ${file} ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
    COMMENT "Embedding ${file}")
  target_sources(${target} PRIVATE ${out})
endfunction()
