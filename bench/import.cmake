# The motion-capture import on the shared clip: time per source frame, and
# the key frames kept against the greedy baseline, in one run.
kinemorph_bench(bench_import
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ImportBench.cpp
  LIBS kinemorph_import)
