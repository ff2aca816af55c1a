# The undo history's memory and undo/redo time through the headless editor.
kinemorph_bench(bench_history
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/HistoryBench.cpp
  LIBS kinemorph_editor)
