# Animation file reader and writer against bare number conversion, and one
# player update on the 21-bone figure.
kinemorph_bench(bench_animation
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/AnimationBench.cpp
  LIBS kinemorph_animation)
