# Picture loads: time and peak memory, now and as the load stood before, side by side.
if(CP_WITH_GUI)
  add_executable(load_image_bench ${CMAKE_CURRENT_LIST_DIR}/load_image_bench.cpp)
  target_link_libraries(load_image_bench PRIVATE platform benchmark::benchmark)
endif()
