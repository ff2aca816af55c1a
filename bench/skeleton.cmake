# One full-skeleton rebuild (a root rotation rebuilds all 21 frames) and one
# mouse move of each pose-by-dragging gesture.
kinemorph_bench(bench_skeleton SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/SkeletonBench.cpp
  LIBS kinemorph_skeleton kinemorph_scene)
target_compile_definitions(bench_skeleton PRIVATE KINEMORPH_SOURCE_DIR_DEFAULT="${CMAKE_SOURCE_DIR}")
