# The window's benchmark: start-up with a large archive, and sorting its list.
add_executable(startup_bench startup_bench.cpp)
target_link_libraries(startup_bench PRIVATE vexa_forms vexa_test_pg)
