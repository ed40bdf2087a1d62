#include "protocol/CommandTable.h"

#include <algorithm>
#include <iterator>

namespace frames {

const CommandRow* FindCommand(uint8_t code) {
    const auto row = std::ranges::find(kCommands, code, &CommandRow::code);
    return row == std::end(kCommands) ? nullptr : row;
}

int AnswerBytes(uint8_t code) {
    const CommandRow* row = FindCommand(code);
    return row ? row->answerBytes : 0;
}

} // namespace frames
