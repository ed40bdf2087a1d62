#include "protocol/KnownAnswer.h"

#include "protocol/FrameView.h"

namespace frames {

std::optional<KnownAnswer> ReadKnownAnswer(const QByteArray& frame) {
    const std::optional<FrameView> view = FrameView::Answer(frame);
    const CommandRow* row = view ? FindCommand(view->code) : nullptr;
    if (!row || row->value == AnswerValue::None || view->payload.size() < row->answerBytes)
        return std::nullopt;
    // Bytes beyond those the code carries are not used; a block carries whatever came.
    return KnownAnswer{row->value,
                       row->answerBytes ? view->payload.left(row->answerBytes) : view->payload};
}

} // namespace frames

bool TakeAnswer(DeviceState& state, const frames::KnownAnswer& answer) {
    using frames::AnswerValue;
    const QByteArray& p = answer.payload;
    switch (answer.value) {
    case AnswerValue::Acceptance:
        if (uint8_t(p[0]) != frames::kHandshakeAccepted)
            return false;
        state.HandshakeSeen = true;
        return true;
    case AnswerValue::Version:
        state.FirmwareVersion = answer.Word();
        return true;
    case AnswerValue::BlockLength:
        state.BlockLength = answer.Word();
        return true;
    case AnswerValue::FusionCount:
        if (state.QuerySequenceActive)
            state.FusionCount = answer.Word();
        return state.QuerySequenceActive;
    case AnswerValue::CurrentGroup:
        if (state.QuerySequenceActive)
            state.CurrentGroup = uint8_t(p[0]);
        return state.QuerySequenceActive;
    case AnswerValue::DeviceId:
        if (!state.QuerySequenceActive)
            return false;
        state.QuerySequenceActive = false;
        state.DeviceId = p + '\0';
        return true;
    case AnswerValue::Block:
    case AnswerValue::Environment:
    case AnswerValue::None:
        break;
    }
    return false;
}
