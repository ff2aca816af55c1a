# The per-frame model work of the editor while an animation plays; counted
# in instructions under callgrind by tools/bench.sh.
add_executable(bench_editor_update ${CMAKE_CURRENT_SOURCE_DIR}/EditorUpdateProbe.cpp)
target_include_directories(bench_editor_update PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(bench_editor_update PRIVATE kinemorph_editor)
