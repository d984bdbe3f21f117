list(APPEND PELMORA_BENCH_SOURCES ${CMAKE_CURRENT_LIST_DIR}/PointArrayBench.cpp)
list(APPEND PELMORA_BENCH_LIBS pelmora_opennurbs)
# Closest point and normal at scale (the probe offset's hot loop).
list(APPEND PELMORA_BENCH_SOURCES ${CMAKE_CURRENT_LIST_DIR}/ClosestPointBench.cpp)
