# The surface operations at scale (point alignment, point matrix,
# interpolation, surface fit, offset).
list(APPEND PELMORA_BENCH_SOURCES ${CMAKE_CURRENT_LIST_DIR}/SurfaceBench.cpp)
list(APPEND PELMORA_BENCH_SOURCES ${CMAKE_CURRENT_LIST_DIR}/RoughOffsetBench.cpp)
list(APPEND PELMORA_BENCH_SOURCES ${CMAKE_CURRENT_LIST_DIR}/AccurateFitBench.cpp)
list(APPEND PELMORA_BENCH_SOURCES ${CMAKE_CURRENT_LIST_DIR}/DeviationBench.cpp)
list(APPEND PELMORA_BENCH_LIBS pelmora_surface pelmora_test_support)
