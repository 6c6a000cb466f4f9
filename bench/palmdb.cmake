add_executable(bench_palmdb ${CMAKE_CURRENT_SOURCE_DIR}/palmdb_bench.cpp)
target_link_libraries(bench_palmdb PRIVATE lockwell_palmdb benchmark::benchmark)
