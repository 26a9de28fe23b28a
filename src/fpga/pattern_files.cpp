#include "fpga/pattern_files.h"

#include "fpga/pattern_reader.h"

namespace korvel {

PatternFile read_pattern_file(const char* path, PatternColumns& columns) {
    PatternReader reader(columns);
    PatternFile file;
    file.problem = read_text_file(path, reader);
    file.words = reader.complete_words();
    file.bits = reader.bits();
    file.first_bits = reader.first_bits();
    return file;
}

MaskFile read_mask_file(const char* path, PatternColumns& columns) {
    MaskReader reader(columns);
    MaskFile file;
    file.problem = read_text_file(path, reader);
    file.outcome = reader.outcome();
    file.period = reader.period();
    file.width = reader.width();
    file.mask_bits = reader.mask_bits();
    file.ones = reader.ones();
    return file;
}

}  // namespace korvel
