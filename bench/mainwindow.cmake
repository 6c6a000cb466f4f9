# The main window's account list on 10,000 accounts, offscreen: filling
# "All" and sorting by a column.
find_package(Qt6 QUIET COMPONENTS Widgets)
if(TARGET lockwell_app_ui AND Qt6_FOUND)
  add_executable(bench_mainwindow ${CMAKE_CURRENT_SOURCE_DIR}/mainwindow/MainWindowBench.cpp)
  target_link_libraries(bench_mainwindow PRIVATE lockwell_app_ui lockwell_vault_fixtures benchmark::benchmark
                                                 Qt6::Widgets)
endif()
