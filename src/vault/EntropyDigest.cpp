#include "vault/EntropyDigest.h"

#include <openssl/crypto.h>
#include <openssl/md5.h>
#include <sys/random.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <new>

namespace lockwell {
namespace {

void AddUname(MD5_CTX& context) {
  struct utsname name;
  std::memset(&name, 0, sizeof name);  // the bytes after each text are hashed too
  if (uname(&name) == 0) MD5_Update(&context, &name, sizeof name);
}

}  // namespace

Digest EntropyDigest(const EntropyDatabase* database, std::span<const uint8_t> extra) {
  MD5_CTX context;
  MD5_Init(&context);

  uint32_t seconds = static_cast<uint32_t>(std::time(nullptr));
  MD5_Update(&context, &seconds, sizeof seconds);

  if (database != nullptr) {
    if (database->object != nullptr) MD5_Update(&context, database->object, database->objectSize);
    MD5_Update(&context, database->header.data(), database->header.size());
  }

  // Called as a function so the allocation can not be optimised away.
  void* block = ::operator new(1);
  MD5_Update(&context, &block, sizeof block);
  ::operator delete(block);

  int onStack = 0;
  const void* stackAddress = &onStack;
  MD5_Update(&context, &stackAddress, sizeof stackAddress);

  AddUname(context);
  long pageSize = sysconf(_SC_PAGESIZE);
  long processors = sysconf(_SC_NPROCESSORS_ONLN);
  MD5_Update(&context, &pageSize, sizeof pageSize);
  MD5_Update(&context, &processors, sizeof processors);

  uint8_t random[16];
  if (getrandom(random, sizeof random, 0) == static_cast<ssize_t>(sizeof random))
    MD5_Update(&context, random, sizeof random);
  OPENSSL_cleanse(random, sizeof random);

  AddUname(context);

  if (!extra.empty()) MD5_Update(&context, extra.data(), extra.size());

  Digest digest;
  MD5_Final(digest.data(), &context);
  OPENSSL_cleanse(&context, sizeof context);
  return digest;
}

Salt NewSalt(const EntropyDatabase& database) {
  Digest digest = EntropyDigest(&database);
  Salt salt;
  std::memcpy(salt.data(), digest.data(), salt.size());
  return salt;
}

}  // namespace lockwell
