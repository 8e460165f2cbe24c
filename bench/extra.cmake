# Libraries only benchmarks link: LZ4 and zlib give bench_codec figures to
# compare our codec with (liblz4-dev and zlib1g-dev are in setup.sh).
if(TARGET bench_codec)
  target_link_libraries(bench_codec PRIVATE lz4 z)
endif()
# The replays it plays lie in the source tree.
if(TARGET bench_replay_verify)
  target_compile_definitions(bench_replay_verify PRIVATE CRIMSON_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
