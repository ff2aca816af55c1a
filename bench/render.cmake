# Rendering and encoding an animation offscreen against its own time.
kinemorph_bench(bench_render
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/RenderBench.cpp
  LIBS kinemorph_render kinemorph_render_encode)
