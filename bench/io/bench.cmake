# Point-file reading at scale and the pelmora command end to end.
list(APPEND PELMORA_BENCH_SOURCES ${CMAKE_CURRENT_LIST_DIR}/PointReaderBench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DrapeCommandBench.cpp ${CMAKE_CURRENT_LIST_DIR}/SurfaceWriterBench.cpp)
list(APPEND PELMORA_BENCH_LIBS pelmora_io)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/DrapeCommandBench.cpp PROPERTIES
  COMPILE_DEFINITIONS "PELMORA_CLI=\"${CMAKE_BINARY_DIR}/cli/pelmora\"")
