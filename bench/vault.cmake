add_executable(bench_vault ${CMAKE_CURRENT_SOURCE_DIR}/vault_bench.cpp)
target_link_libraries(bench_vault PRIVATE lockwell_vault lockwell_vault_fixtures benchmark::benchmark OpenSSL::Crypto)
