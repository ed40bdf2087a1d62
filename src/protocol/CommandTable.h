#pragma once

#include <QtGlobal>

#include <cstdint>

// Every command code the program sends in a kind 0x4A frame (payload: code, argument), and what
// is known about each: the name the trace gives it, its answer, and its item in the window's
// service list. Each answer carries the code of the command it answers.
namespace frames {

enum Command : uint8_t {
    CmdReadParams = 0x40,
    CmdHandshake = 0x45,
    CmdVersion = 0xC1,
    CmdBlockLength = 0xC7,
    CmdEnvironment = 0x4E,
    CmdCoreReset = 0x47,
    CmdCoreResetOrigin = 0x46,
    CmdDeviceId = 0x48,
    CmdFusionCount = 0x49,
    CmdCurrentGroup = 0x44,
    CmdReadCalibration = 0x30,
};

enum Answer : uint8_t {
    AnsParams = CmdReadParams,
    AnsCurrentGroup = CmdCurrentGroup,
    AnsHandshake = CmdHandshake,
    AnsDeviceId = CmdDeviceId,
    AnsFusionCount = CmdFusionCount,
    AnsEnvironment = CmdEnvironment,
    AnsVersion = CmdVersion,
    AnsBlockLength = CmdBlockLength,
};

// What an answer tells, and so how its payload reads.
enum class AnswerValue : uint8_t {
    None,         // no answer is handled
    Block,        // the parameter block, as many bytes as the splicer sends
    Acceptance,   // one byte, the handshake's verdict
    Version,      // 16 bits, in hundredths
    BlockLength,  // 16 bits, the bytes of the block the firmware takes
    FusionCount,  // 16 bits
    CurrentGroup, // one byte
    DeviceId,     // characters
    Environment,  // four 16-bit readings: RH, T (tenths), P, T (tenths)
};

struct CommandRow {
    uint8_t code;
    const char* name;        // the command as the trace names it
    AnswerValue value;       // what the answer holds
    const char* answer;      // the answer as the trace names it; empty without an answer
    int answerBytes;         // the payload bytes the answer carries; a shorter answer is ignored
    const char* serviceItem; // its item in the window's service list; empty when not listed
};

// The rows with a service item give the service list, in this order; the window translates the
// items (context "ServiceList"), the trace's names are data and stay as they are.
inline constexpr CommandRow kCommands[] = {
    {CmdVersion, "版本查询", AnswerValue::Version, "版本", 2,
     QT_TRANSLATE_NOOP("ServiceList", "获得版本")},
    {CmdEnvironment, "环境状态查询", AnswerValue::Environment, "环境", 8,
     QT_TRANSLATE_NOOP("ServiceList", "环境状态")},
    {CmdCoreReset, "调芯复位", AnswerValue::None, "", 0,
     QT_TRANSLATE_NOOP("ServiceList", "调芯复位")},
    {CmdCoreResetOrigin, "重置原点", AnswerValue::None, "", 0,
     QT_TRANSLATE_NOOP("ServiceList", "重设调芯复位")},
    {CmdDeviceId, "设备ID查询", AnswerValue::DeviceId, "设备ID", 10,
     QT_TRANSLATE_NOOP("ServiceList", "设备ID")},
    {CmdFusionCount, "熔接次数查询", AnswerValue::FusionCount, "熔接次数", 2,
     QT_TRANSLATE_NOOP("ServiceList", "熔接次数")},
    {CmdCurrentGroup, "当前组别查询", AnswerValue::CurrentGroup, "当前组别", 1,
     QT_TRANSLATE_NOOP("ServiceList", "当前组别")},
    // A short parameter block is filled with zeros, so any length is acted on.
    {CmdReadParams, "参数读取", AnswerValue::Block, "参数块", 0, ""},
    {CmdHandshake, "握手", AnswerValue::Acceptance, "握手应答", 1, ""},
    {CmdBlockLength, "参数长度查询", AnswerValue::BlockLength, "参数长度", 2, ""},
    {CmdReadCalibration, "校正参数读取", AnswerValue::None, "", 0, ""},
};

// The row of a command or answer code; nullptr for a code the program does not know.
const CommandRow* FindCommand(uint8_t code);

// The queries that follow an accepted handshake, in this order, each with the query wait after
// it; the device ID's answer ends the sequence.
inline constexpr uint8_t kQuerySequence[] = {CmdVersion, CmdFusionCount, CmdCurrentGroup,
                                             CmdDeviceId};

} // namespace frames
