# lumawipe_embed(target namespace NAME FILE [NAME FILE ...]): a static library holding
# each FILE as `const std::uint8_t NAME[]` with `NAMESize`, generated at build time.
function(lumawipe_embed target namespace)
  set(args ${ARGN})
  set(out_cpp ${CMAKE_CURRENT_BINARY_DIR}/${target}.cpp)
  set(out_h ${CMAKE_CURRENT_BINARY_DIR}/include/${target}.h)
  set(files)
  set(pairs)
  list(LENGTH args n)
  math(EXPR last "${n} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET args ${i} name)
    list(GET args ${j} file)
    list(APPEND files ${file})
    list(APPEND pairs "${name}=${file}")
  endforeach()
  add_custom_command(OUTPUT ${out_cpp} ${out_h}
    COMMAND ${CMAKE_COMMAND} -DOUT_CPP=${out_cpp} -DOUT_H=${out_h} -DNS=${namespace}
            "-DPAIRS=${pairs}" -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFiles.cmake
    DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/EmbedFiles.cmake
    VERBATIM)
  add_library(${target} STATIC ${out_cpp} ${out_h})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_BINARY_DIR}/include)
endfunction()
