// The pattern and mask text files as the panels and korvelctl read them: the readers of
// pattern_reader.h and mask_reader.h over a file read in bounded chunks (text_file.h).
#pragma once

#include <cstdint>
#include <string>

#include "fpga/mask_reader.h"
#include "fpga/pattern_memory.h"
#include "fpga/text_file.h"

namespace korvel {

struct PatternFile {
    FileProblem problem;
    int words = 0;           // complete words, 4096 at most
    std::uint32_t bits = 0;  // bit characters taken (those of an incomplete last word included)
    std::string first_bits;  // the first 256 bit characters, in file order
};
// Reads the pattern file at `path` (or the rest of `file`) into `columns`, up to the end of word
// 4096.
PatternFile read_pattern_file(const char* path, PatternColumns& columns);
PatternFile read_pattern_file(TextFile& file, PatternColumns& columns);
// Copies into `to` the bits that reading `file` wrote into `from`, leaving the others as they
// are: the same as reading the file into `to` itself, without reading it again.
void copy_pattern_bits(const PatternFile& file, const PatternColumns& from, PatternColumns& to);

struct MaskFile {
    FileProblem problem;
    MaskReader::Outcome outcome = MaskReader::Outcome::NotNumbers;
    std::uint32_t period = 0;  // as written in the file
    std::uint32_t width = 0;
    int mask_bits = 0;  // mask bits read, 256 at most
    int ones = 0;       // one bits among them
};
// Reads the mask file at `path` (or the rest of `file`) into column 0 of `columns`, up to the
// 256th mask bit.
MaskFile read_mask_file(const char* path, PatternColumns& columns);
MaskFile read_mask_file(TextFile& file, PatternColumns& columns);
// As copy_pattern_bits, for the mask bits that reading `file` wrote.
void copy_mask_bits(const MaskFile& file, const PatternColumns& from, PatternColumns& to);

}  // namespace korvel
