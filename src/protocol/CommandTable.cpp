#include "protocol/CommandTable.h"

#include <algorithm>
#include <iterator>

namespace frames {

const CommandRow* FindCommand(uint8_t code) {
    const auto row = std::ranges::find(kCommands, code, &CommandRow::code);
    return row == std::end(kCommands) ? nullptr : row;
}

} // namespace frames
