// The conversion driver: header, directory, and the walk over the entries.
#pragma once

#include "container.h"

#include <span>

void realign_header(DriverState& state);
void realign_dir_entries(DirectoryState& dir, DriverState& state);

// Converts the whole project from in_base into the output window and leaves out_pos
// at the end of the converted project. 0 on success; -1 when the input is damaged,
// after one line on state.diag that says which entry and where.
int convert_project(DriverState& state);

// Converts one project held in memory into an output window; on success returns 0
// and out_len is the converted project's length.
int convert_to(std::span<const uint8_t> in, OutputWindow& out, size_t& out_len, FILE* diag = stderr,
               const char* prog = "projconv");

// The same into memory: the converted bytes are out.window.base[0 .. out_len).
int convert_buffer(std::span<const uint8_t> in, struct MemoryOutput& out, size_t& out_len,
                   FILE* diag = stderr, const char* prog = "projconv");
