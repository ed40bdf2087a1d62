#include "protocol/WriteSequence.h"

#include "protocol/CommandTable.h"
#include "protocol/Firmware.h"
#include "protocol/Waits.h"

TWriteOutcome WriteSequence(TWriteChannel& channel, const TWriteSteps& steps) {
    TWriteOutcome outcome;
    outcome.version = channel.Query(frames::CmdVersion, steps.patienceMs).value_or(0);
    outcome.block = steps.block(outcome.version);
    if (firmware::TakesFullBlock(outcome.version) && channel.GoesOn())
        channel.Query(frames::CmdBlockLength, steps.patienceMs);
    outcome.count = FusionParams::WriteCount(outcome.version, channel.LastBlockLength());
    if (!channel.GoesOn() || (steps.mayWrite && !steps.mayWrite(outcome.count)))
        return outcome;
    channel.SendParamBlock(outcome.block, outcome.count);
    channel.Wait(waits::kBlockTakenMs);
    outcome.sent = true;
    return outcome;
}
