# Start-up: the program's constructor and first pass against a bare window
# with the same settings, each in a fresh process spawned by the launcher.
# The probes link only what they start, as the program itself does.
add_executable(bench_startup_program ${CMAKE_CURRENT_SOURCE_DIR}/startup/ProgramProbe.cpp)
target_include_directories(bench_startup_program PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(bench_startup_program PRIVATE kinemorph_app)
add_executable(bench_startup_bare ${CMAKE_CURRENT_SOURCE_DIR}/startup/BareWindowProbe.cpp)
target_include_directories(bench_startup_bare PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(bench_startup_bare PRIVATE sfml-window OpenGL::GL)
kinemorph_bench(bench_startup SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/startup/StartupBench.cpp)
