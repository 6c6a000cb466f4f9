#include "storage/IoFaults.h"

#include <cassert>
#include <cerrno>

namespace lockwell {
namespace {

ScopedIoFault* armed = nullptr;

}  // namespace

ScopedIoFault::ScopedIoFault(IoOp op, int nth, int error) : op_(op), nth_(nth), error_(error) {
  assert(armed == nullptr && "only one I/O fault at a time");
  armed = this;
}

ScopedIoFault::~ScopedIoFault() { armed = nullptr; }

bool ScopedIoFault::Strikes(IoOp op) {
  if (armed == nullptr || armed->op_ != op || armed->fired_) return false;
  if (++armed->seen_ != armed->nth_) return false;
  armed->fired_ = true;
  errno = armed->error_;
  return true;
}

}  // namespace lockwell
