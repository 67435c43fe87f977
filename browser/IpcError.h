#pragma once
// Error codes of the local IPC. The numbers are those of the DDE management library that the IPC
// stands in for, so the layer above can name them the way the program always has.

#include <cstdint>

namespace tessarel::browser {

enum class IpcError : std::uint32_t {
    None = 0,
    AdvAckTimeout = 0x4000,
    Busy = 0x4001,
    DataAckTimeout = 0x4002,
    DllNotInitialized = 0x4003,
    DllUsage = 0x4004,
    ExecAckTimeout = 0x4005,
    InvalidParameter = 0x4006,
    LowMemory = 0x4007,
    MemoryError = 0x4008,
    NotProcessed = 0x4009,
    NoConvEstablished = 0x400A,
    PokeAckTimeout = 0x400B,
    PostMsgFailed = 0x400C,
    Reentrancy = 0x400D,
    ServerDied = 0x400E,
    SysError = 0x400F,
    UnadvAckTimeout = 0x4010,
    UnfoundQueueId = 0x4011,
};

}  // namespace tessarel::browser
