# Writes an import library whose functions load their DLL when one of them is
# first called (MinGW-w64's delay-load helper, __delayLoadHelper2), for every
# function of the toolchain's own import library of that DLL.
# -DNM=... -DDLLTOOL=... -DIMPORT_LIB=<libuser32.a> -DDLL=<user32.dll>
# -DOUT=<folder/libuser32.a> -DSTDCALL=<ON on 32-bit x86, whose names carry "_" and "@n">
execute_process(COMMAND ${NM} -g ${IMPORT_LIB} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} could not list ${IMPORT_LIB}")
endif()
string(REGEX MATCHALL " I __imp_[^\r\n]+" imports "${symbols}")
set(names)
foreach(import IN LISTS imports)
  string(REPLACE " I __imp_" "" name "${import}")
  if(STDCALL)
    string(REGEX REPLACE "^_" "" name "${name}")
  endif()
  list(APPEND names "${name}")
endforeach()
list(REMOVE_DUPLICATES names)
list(SORT names)
if(NOT names)
  message(FATAL_ERROR "${IMPORT_LIB} lists no imported function")
endif()
string(REPLACE ";" "\n" exports "${names}")
get_filename_component(folder "${OUT}" DIRECTORY)
get_filename_component(stem "${OUT}" NAME_WE)
file(WRITE "${folder}/${stem}.def" "LIBRARY ${DLL}\nEXPORTS\n${exports}\n")
set(kill_at)
if(STDCALL)
  set(kill_at --kill-at)
endif()
file(REMOVE "${OUT}")
# dlltool names symbols after the output path and its temporary files after
# the prefix: both given without the build folder, the library is the same
# from build to build.
get_filename_component(name "${OUT}" NAME)
execute_process(COMMAND ${DLLTOOL} ${kill_at} --input-def "${stem}.def" --output-delaylib "${name}"
                        --temp-prefix "${stem}_delay"
                WORKING_DIRECTORY "${folder}" RESULT_VARIABLE failed)
if(failed OR NOT EXISTS "${OUT}")
  message(FATAL_ERROR "${DLLTOOL} could not write ${OUT}")
endif()
