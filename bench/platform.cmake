# The platform layer: the cost of one card copy into memory and into a picture box.
if(CP_WITH_GUI)
  add_executable(platform_bench ${CMAKE_CURRENT_LIST_DIR}/platform_bench.cpp)
  target_link_libraries(platform_bench PRIVATE platform benchmark::benchmark)
endif()
