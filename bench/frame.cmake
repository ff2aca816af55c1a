# One editor frame through the program's own render() against a bare clear
# and present on the same window, and the extra cost of a bone pick. Runs
# the program in a private copy of resources/ made by the test support.
if(TARGET kinemorph_test_support)
  kinemorph_bench(bench_frame
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/FrameBench.cpp
    LIBS kinemorph_app kinemorph_test_support)
endif()
