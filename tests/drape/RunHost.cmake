# ctest script: installs the library into a scratch prefix, builds the
# example host program against the installed package and drapes a sample
# cloud with it (no window toolkit, so the suggestion is used).
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
run(${CMAKE_COMMAND} -S ${HOST_DIR} -B ${WORK_DIR}/host
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release
    "-DCMAKE_CXX_FLAGS=${HOST_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${HOST_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/host)
run(${WORK_DIR}/host/pelmora_host --toolkit none ${CLOUD})
if(NOT last_output MATCHES "rows ([0-9]+)\ncolumns ([0-9]+)\nmatrix ([0-9]+)\nsurface valid")
  message(FATAL_ERROR "unexpected host output: ${last_output}")
endif()
math(EXPR cells "${CMAKE_MATCH_1} * ${CMAKE_MATCH_2}")
if(NOT cells EQUAL CMAKE_MATCH_3 OR cells LESS 9)
  message(FATAL_ERROR "matrix does not match rows x columns: ${last_output}")
endif()
message(STATUS "host ok: ${last_output}")
