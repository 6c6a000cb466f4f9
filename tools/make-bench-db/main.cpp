// make-bench-db: writes the benchmark database of N accounts, and the same
// accounts as a KeePass 2 XML file for a side-by-side run of another
// password manager's command-line tool.
//
//   make-bench-db DB N PASSPHRASE-FILE [XML]
//
// The accounts are made in title order and appended, so the database is
// sorted as if the vault had inserted each one.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace {

std::string Format(const char* pattern, unsigned n) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, pattern, n);
  return buffer;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace lockwell;
  if (argc < 4 || argc > 5) {
    std::fprintf(stderr, "usage: make-bench-db DB N PASSPHRASE-FILE [XML]\n");
    return 2;
  }
  const unsigned count = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
  std::ifstream in(argv[3]);
  std::string line;
  std::getline(in, line);
  SecureString passphrase(line);
  WipeString(line);

  ErrorList errors;
  LockwellDatabase database(errors, argv[1], passphrase, true);
  if (errors.HasErrors() || !database.IsOpen()) {
    std::fprintf(stderr, "make-bench-db: %s\n", errors.Summary().c_str());
    return 1;
  }
  std::ofstream xml;
  if (argc == 5) {
    xml.open(argv[4]);
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<KeePassFile><Meta><Generator>make-bench-db</Generator>"
           "</Meta><Root><Group><Name>Root</Name>\n";
  }
  for (unsigned i = 0; i < count; ++i) {
    const std::string title = Format("Account %05u", i);
    const std::string login = Format("user%05u", i);
    const std::string password = Format("pw-%08x", i * 2654435761u);
    const std::string url = Format("https://site%05u.example", i);
    const std::string note = Format("Benchmark account %u", i);
    LockwellRecord record(errors, &database, true);
    const bool ok = record.setTitle(errors, title) && record.setField(errors, 0, "Login:", login) &&
                    record.setField(errors, 1, "Pwd:", password) && record.setField(errors, 2, "URL:", url) &&
                    record.setField(errors, 3, " ", "") && record.setField(errors, 4, " ", "") &&
                    record.setNote(errors, note) && database.AppendNew(errors, record, false);
    if (!ok) {
      std::fprintf(stderr, "make-bench-db: %s\n", errors.Summary().c_str());
      return 1;
    }
    if (xml.is_open()) {
      xml << "<Entry><String><Key>Title</Key><Value>" << title << "</Value></String>"
          << "<String><Key>UserName</Key><Value>" << login << "</Value></String>"
          << "<String><Key>Password</Key><Value>" << password << "</Value></String>"
          << "<String><Key>URL</Key><Value>" << url << "</Value></String>"
          << "<String><Key>Notes</Key><Value>" << note << "</Value></String></Entry>\n";
    }
  }
  if (xml.is_open()) xml << "</Group></Root></KeePassFile>\n";
  return 0;
}
