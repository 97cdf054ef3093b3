# The card graphics: loading the pictures and one tick of the table's redraw.
if(CP_WITH_GUI)
  add_executable(graphics_bench ${CMAKE_CURRENT_LIST_DIR}/graphics_bench.cpp)
  add_dependencies(graphics_bench artwork)
  target_compile_definitions(graphics_bench PRIVATE CP_OUTPUT_DIR="${CP_OUTPUT_DIR}")
  target_link_libraries(graphics_bench PRIVATE game benchmark::benchmark)
endif()
