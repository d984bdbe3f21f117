# ctest script: install, build the consumer against the install, run it.
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
foreach(f include/pelmora/PMSurface.h include/pelmora/PMProgress.h include/pelmora/opennurbs.h
          lib/cmake/Pelmora/PelmoraConfig.cmake lib/pkgconfig/pelmora.pc)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/consumer
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release
    "-DCMAKE_CXX_FLAGS=${CONSUMER_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${CONSUMER_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
run(${WORK_DIR}/consumer/consumer)
if(NOT last_output MATCHES "rows 7 cols 14")
  message(FATAL_ERROR "unexpected consumer output: ${last_output}")
endif()

find_program(PKG_CONFIG pkg-config)
if(PKG_CONFIG)
  set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
  run(${PKG_CONFIG} --cflags-only-I pelmora)
  string(STRIP "${last_output}" include_flag)
  string(REGEX REPLACE "^-I" "" include_dir "${include_flag}")
  if(NOT EXISTS "${include_dir}/PMSurface.h")
    message(FATAL_ERROR "pkg-config points at ${include_flag}, which has no PMSurface.h")
  endif()
  run(${PKG_CONFIG} --libs pelmora)
  if(NOT last_output MATCHES "-lpelmora")
    message(FATAL_ERROR "unexpected pkg-config libs: ${last_output}")
  endif()
endif()
message(STATUS "consumer ok")
