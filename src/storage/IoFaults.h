// Test-only seam: makes one chosen call of the file layer fail, as a full disk
// or a vanished file would.
//
// While a ScopedIoFault is alive, every LockedFile call of its kind is
// counted from 1; the `nth` one and the `times` - 1 calls after it fail
// without touching the file and leave `error` in errno (kForever: every call
// from the nth on, as on a full disk).  Only one fault may be armed at a
// time.  Production code never arms one; the check costs one pointer test.
#pragma once

namespace lockwell {

enum class IoOp { Open, Seek, Read, Write, Truncate };

class ScopedIoFault {
 public:
  static constexpr int kForever = -1;

  ScopedIoFault(IoOp op, int nth, int error, int times = 1);
  ~ScopedIoFault();
  ScopedIoFault(const ScopedIoFault&) = delete;
  ScopedIoFault& operator=(const ScopedIoFault&) = delete;

  // True once a call has been failed.
  bool Fired() const { return fired_; }

  // Called by LockedFile before each operation of kind `op`: true when this
  // call is the one to fail (errno is then set).
  static bool Strikes(IoOp op);

 private:
  IoOp op_;
  int nth_;
  int error_;
  int times_;
  int seen_ = 0;
  bool fired_ = false;
};

}  // namespace lockwell
