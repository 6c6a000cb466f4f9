lockwell_add_fuzz_target(database_file LIBS lockwell_storage)

# The fuzz flags reach only the fuzz binary's own sources, so the binary
# compiles the storage layer itself: then the record file code carries the
# coverage that guides the fuzzer and the sanitizer checks.  Its objects
# define every symbol first, so nothing is taken from the library archive.
if(LOCKWELL_FUZZ)
  get_target_property(storage_sources lockwell_storage SOURCES)
  get_target_property(storage_dir lockwell_storage SOURCE_DIR)
  foreach(source ${storage_sources})
    target_sources(fuzz_database_file PRIVATE ${storage_dir}/${source})
  endforeach()
endif()
