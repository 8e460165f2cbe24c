# Libraries only benchmarks link: LZ4 and zlib give bench_codec figures to
# compare our codec with (liblz4-dev and zlib1g-dev are in setup.sh).
if(TARGET bench_codec)
  target_link_libraries(bench_codec PRIVATE lz4 z)
endif()
