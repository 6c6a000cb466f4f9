#include "storage/IoFaults.h"

#include <cassert>
#include <cerrno>

namespace lockwell {
namespace {

ScopedIoFault* armed = nullptr;

}  // namespace

ScopedIoFault::ScopedIoFault(IoOp op, int nth, int error, int times)
    : op_(op), nth_(nth), error_(error), times_(times) {
  assert(armed == nullptr && "only one I/O fault at a time");
  armed = this;
}

ScopedIoFault::~ScopedIoFault() { armed = nullptr; }

bool ScopedIoFault::Strikes(IoOp op) {
  if (armed == nullptr || armed->op_ != op) return false;
  const int call = ++armed->seen_;
  if (call < armed->nth_) return false;
  if (armed->times_ != kForever && call >= armed->nth_ + armed->times_) return false;
  armed->fired_ = true;
  errno = armed->error_;
  return true;
}

}  // namespace lockwell
