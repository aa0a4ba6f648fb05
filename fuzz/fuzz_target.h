#pragma once
// Every fuzz target defines the libFuzzer entry point and a few built-in seeds.
// Built with clang's -fsanitize=fuzzer they run under libFuzzer; otherwise
// replay_main.cpp drives them with deterministic mutations of the seeds, so
// the suite exercises them under the sanitizers on every run.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
std::vector<std::string> FuzzSeeds();
