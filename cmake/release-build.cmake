# Release builds: no source or build path ends up in an object (the paths in
# debug information and messages are relative to the source tree), so two
# builds of one commit in different folders give the same files.
add_compile_options(
  "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=."
  # The build folder usually lies inside the source tree; the later map wins.
  "-ffile-prefix-map=${PROJECT_BINARY_DIR}=build"
  # Through the compiler cache (scripts/lib/compiler-cache) the compiler is
  # handed the sources relative to the build folder, two levels below the
  # source tree (build/<tree>): the same paths then.
  "-ffile-prefix-map=../..=.")

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

# Links `target` so that the named system DLLs (user32, gdi32, opengl32, ...)
# are loaded when one of their functions is first called rather than when the
# program starts. The delay-load import libraries carry the toolchain's names
# and lie in a folder that this target's link searches first, so every
# "-l<name>" of the target and its libraries takes them. The delay-load
# helper is handed the system folder's copy of each
# (renderer/win32_system_library.cpp).
#
# The window manager's, GDI's and OpenGL's functions are declared as plain
# functions, not as DLL imports (WINUSERAPI and WINGDIAPI empty), so that every
# call goes through the function's thunk: GNU ld for 32-bit x86 drops the
# thunk of a delay-load import that is reached only through its import slot
# ("__imp_" of a dllimport call) and leaves the slot at zero, so the first call
# jumped to address 0 (binutils bug 14339; the 64-bit link keeps it). Both
# architectures are built the same way; pe_check_tests reads every import slot
# of the shipped files and fails on one that leads nowhere.
add_compile_definitions(_USER32_ _GDI32_)
find_program(QV_NM NAMES ${MINGW_TRIPLE}-nm REQUIRED)
find_program(QV_DLLTOOL NAMES ${MINGW_TRIPLE}-dlltool REQUIRED)
function(qv_delay_load target)
  set(folder "${PROJECT_BINARY_DIR}/delay-load/${target}")
  set(stdcall OFF)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(stdcall ON)
  endif()
  set(libraries)
  foreach(name IN LISTS ARGN)
    set(importLib "${CMAKE_FIND_ROOT_PATH}/lib/lib${name}.a")
    if(NOT EXISTS "${importLib}")
      message(FATAL_ERROR "no import library ${importLib}")
    endif()
    add_custom_command(OUTPUT "${folder}/lib${name}.a"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${folder}"
      COMMAND ${CMAKE_COMMAND} -DNM=${QV_NM} -DDLLTOOL=${QV_DLLTOOL} -DIMPORT_LIB=${importLib} -DDLL=${name}.dll
        -DOUT=${folder}/lib${name}.a -DSTDCALL=${stdcall} -P ${PROJECT_SOURCE_DIR}/cmake/delay-import.cmake
      DEPENDS "${importLib}" ${PROJECT_SOURCE_DIR}/cmake/delay-import.cmake
      COMMENT "Delay-load import library for ${name}.dll"
      VERBATIM)
    list(APPEND libraries "${folder}/lib${name}.a")
  endforeach()
  add_custom_target(${target}_delay_load DEPENDS ${libraries})
  add_dependencies(${target} ${target}_delay_load)
  target_link_directories(${target} BEFORE PRIVATE "${folder}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${libraries})
endfunction()
