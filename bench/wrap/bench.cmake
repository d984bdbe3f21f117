# The three wraps at scale, the bare concave VTK pipeline for comparison, and the
# polygon-to-mesh conversion on its own.
list(APPEND PELMORA_BENCH_SOURCES ${CMAKE_CURRENT_LIST_DIR}/WrapBench.cpp)
list(APPEND PELMORA_BENCH_LIBS pelmora_wrap pelmora_test_support
  VTK::CommonCore VTK::CommonDataModel VTK::CommonExecutionModel
  VTK::FiltersCore VTK::FiltersGeometry VTK::ImagingHybrid)
