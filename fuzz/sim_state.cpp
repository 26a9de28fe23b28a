// The simulated unit's state file text: never out of bounds; a text refused changes nothing and
// says why; a text taken in leaves a unit whose own file reads back to the very same unit.
#include <cstdint>
#include <cstdlib>
#include <string>

#include <nlohmann/json.hpp>

#include "korvel/sim/unit.h"
#include "state_file.h"

namespace {

using nlohmann::json;

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    json doc;
    if (!korvel::sim::parse_state_text(text, doc)) return 0;

    korvel::sim::Board board;
    const json before = korvel::sim::board_to_json(board);
    std::string error;
    if (!korvel::sim::board_from_json(doc, board, &error)) {
        check(!error.empty());
        check(korvel::sim::board_to_json(board) == before);
        return 0;
    }

    // What the unit would save: written as text, read back into a fresh unit, the same again.
    const std::string saved = korvel::sim::board_to_json(board).dump(2);
    json again;
    check(korvel::sim::parse_state_text(saved, again));
    korvel::sim::Board fresh;
    check(korvel::sim::board_from_json(again, fresh, &error));
    check(korvel::sim::board_to_json(fresh).dump(2) == saved);
    return 0;
}
