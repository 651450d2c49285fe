// The system-call numbers of the kernel's generic table (include/uapi/asm-generic/unistd.h),
// which the newer architectures share.
#pragma once

namespace kernel {

constexpr long kWriteCall = 64;
constexpr long kRtSigactionCall = 134;
constexpr long kExitGroupCall = 94;

}  // namespace kernel
