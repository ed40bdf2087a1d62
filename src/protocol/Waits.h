#pragma once

// The fixed waits of the conversation with the splicer, in milliseconds. There are no
// acknowledgements: answers count when they arrive within these.
namespace waits {

// After the handshake: a splicer that answers later is not found on that port.
inline constexpr int kHandshakeMs = 200;
// After each query (version, block length, parameters, the query sequence).
inline constexpr int kQueryMs = 100;
// After a parameter block, while the splicer takes it.
inline constexpr int kBlockTakenMs = 500;

} // namespace waits
