// Every limit the server holds its peers to, in one place. The lengths of names and texts
// are part of the wire contract and live in net/protocol.h (kMaxNameLength, kMaxChatText,
// kMaxColourText, kMaxSoundText); the input framing limit is proto::Framer's 64 KiB.
//
// What happens at each limit:
//   a longer name or text             cut to its length, then relayed
//   more chat than kChatLines lines   the extra chat, action and chatter-sound lines of a
//     in any kChatWindowMs              connection are dropped as they arrive; its sender
//                                       alone is told, once per run of dropped lines; the
//                                       next connection in the seat has the whole allowance
//   any request before the login      ignored, but for the login itself and CMD_secret
//   silence after a CMD_ping          closed after proto::kDeadPeerMs
//   a second "CMD_logininfo"          ignored, unless the server asked for it again
//   kMaxQueuedMessages or             the connection is closed
//     kMaxQueuedBytes waiting
//   kMaxUnsentBytes not read          the connection is closed
//   repeated log lines of one kind    the first in each kLogSummaryMs is logged, the rest
//     (churn, refusals, closes)         counted in one line when the period ends
#pragma once

#include <cstddef>

namespace tessarin::limits {

// Eight lines in ten seconds, as chat servers commonly allow a person.
inline constexpr int kChatLines = 8;
inline constexpr int kChatWindowMs = 10'000;

inline constexpr std::size_t kMaxQueuedMessages = 256;
inline constexpr std::size_t kMaxQueuedBytes = 256 * 1024;
inline constexpr std::size_t kMaxUnsentBytes = 1024 * 1024;

inline constexpr int kLogSummaryMs = 30'000;

}  // namespace tessarin::limits
