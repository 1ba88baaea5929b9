# Release builds: no source or build path ends up in an object (the paths in
# debug information and messages are relative to the source tree), so two
# builds of one commit in different folders give the same files.
add_compile_options(
  "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=."
  # The build folder usually lies inside the source tree; the later map wins.
  "-ffile-prefix-map=${PROJECT_BINARY_DIR}=build")

# The shipped Windows programs are built with full debug information, which
# the link step then moves into a symbol file of their own
# (build/<arch>/symbols/<file>.debug), so that they ship stripped while an
# address from a crash report still leads to its source line. Program and
# symbol file are tied by the program's build id and its debug link (the
# symbol file's name and CRC). The PE time stamp is derived from the build id,
# never the time of building.
if(NOT WIN32)
  return()
endif()

add_compile_options(-g)
add_link_options(-Wl,--build-id -Wl,--no-insert-timestamp)

find_program(QV_OBJCOPY NAMES ${MINGW_TRIPLE}-objcopy REQUIRED)
find_program(QV_OBJDUMP NAMES ${MINGW_TRIPLE}-objdump REQUIRED)
set(QV_SYMBOLS_DIR "${PROJECT_BINARY_DIR}/symbols")

function(qv_ship_stripped target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJCOPY=${QV_OBJCOPY} -DOBJDUMP=${QV_OBJDUMP} -DPROGRAM=$<TARGET_FILE:${target}>
      -DSYMBOLS=${QV_SYMBOLS_DIR}/$<TARGET_FILE_NAME:${target}>.debug -P ${PROJECT_SOURCE_DIR}/cmake/strip-program.cmake
    COMMENT "Stripping $<TARGET_FILE_NAME:${target}> (symbols in ${QV_SYMBOLS_DIR})"
    VERBATIM)
endfunction()
