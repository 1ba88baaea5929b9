# Run after the link of a shipped Windows program (cmake -P, see
# windows-release.cmake): moves its debug information into a symbol file,
# strips the program, links it to the symbol file, and gives both a PE time
# stamp derived from the content: the first 31 bits of the build id (the
# linker leaves the stamp zero; objcopy takes it from SOURCE_DATE_EPOCH).
# Variables: OBJCOPY, OBJDUMP, PROGRAM, SYMBOLS.
execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}" OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed OR NOT headers MATCHES "RSDS signature ([0-9a-f]+)")
  message(FATAL_ERROR "${PROGRAM} has no build id (link with --build-id)")
endif()
string(SUBSTRING "${CMAKE_MATCH_1}" 0 8 leading)
math(EXPR stamp "0x${leading} & 0x7fffffff")
get_filename_component(folder "${SYMBOLS}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
foreach(step IN ITEMS "--only-keep-debug;${PROGRAM};${SYMBOLS}" "--strip-all;--add-gnu-debuglink=${SYMBOLS};${PROGRAM}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env "SOURCE_DATE_EPOCH=${stamp}" "${OBJCOPY}" ${step}
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "objcopy ${step} failed")
  endif()
endforeach()
