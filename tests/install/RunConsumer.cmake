# ctest script: installs the library into a scratch prefix, checks what was
# installed, builds the example host against the installed CMake package and
# drapes a sample with it, and checks the pkg-config file.
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
foreach(f bin/pelmora lib/pelmora/libpelmora_qt.so lib/pelmora/libpelmora_wrap.so
          lib/pelmora/libpelmora_tool_vtk.so include/pelmora/PMSurface.h include/pelmora/PMProgress.h include/pelmora/opennurbs.h
          lib/cmake/Pelmora/PelmoraConfig.cmake lib/pkgconfig/pelmora.pc)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

# The installed tool runs from the prefix in a clean environment (no
# LD_LIBRARY_PATH, no display), also when the prefix is moved elsewhere.
file(RENAME ${prefix} ${WORK_DIR}/moved)
run(env -i ${WORK_DIR}/moved/bin/pelmora --version)
run(env -i ${WORK_DIR}/moved/bin/pelmora analyze ${CLOUD})
if(NOT last_output MATCHES "rows")
  message(FATAL_ERROR "unexpected output of the installed pelmora analyze: ${last_output}")
endif()
# The modules are found beside the moved library: a wrap (the library's
# wrap module, the tool's VTK module for the mesh file).
run(env -i ${WORK_DIR}/moved/bin/pelmora wrap ${CLOUD} -o ${WORK_DIR}/wrapped.stl --quiet)
if(NOT EXISTS ${WORK_DIR}/wrapped.stl)
  message(FATAL_ERROR "the installed pelmora wrote no mesh")
endif()
file(RENAME ${WORK_DIR}/moved ${prefix})

# The example host: headers alone are enough to call the library.
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
message(STATUS "installed package ok: ${last_output}")
