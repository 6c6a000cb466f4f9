#include "platform/ShellLink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/AsciiCase.h"
#include "platform/FileUtil.h"

namespace lockwell {

namespace {

// Escapes of a desktop entry's string values.
std::string EscapeValue(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case ' ':
        out += i == 0 ? "\\s" : " ";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

// One argument of Exec=: quoted when it holds a reserved character, with
// "%" doubled so that it is not taken for a field code.
std::string QuoteExecArgument(const std::string& argument) {
  static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
  std::string out;
  if (argument.find_first_of(reserved) == std::string::npos) {
    out = argument;
  } else {
    out = "\"";
    for (char c : argument) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') out.push_back('\\');
      out.push_back(c);
    }
    out += "\"";
  }
  std::string doubled;
  for (char c : out) {
    doubled.push_back(c);
    if (c == '%') doubled.push_back('%');
  }
  return doubled;
}

std::string FileUrl(const std::string& path) {
  std::string out = path.empty() || path[0] != '/' ? "" : "file://";
  for (unsigned char c : path) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
                 c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      out.push_back(static_cast<char>(c));
    } else {
      char buffer[4];
      std::snprintf(buffer, sizeof buffer, "%%%02X", c);
      out += buffer;
    }
  }
  return out;
}

bool IsProgram(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string ShellLink::DesktopEntryPath(const std::string& linkPath) {
  if (linkPath.size() >= 4 &&
      EqualsIgnoringAsciiCase(std::string_view(linkPath).substr(linkPath.size() - 4), ".lnk")) {
    return linkPath.substr(0, linkPath.size() - 4) + ".desktop";
  }
  return linkPath + ".desktop";
}

std::string ShellLink::DesktopEntryText(const std::string& name) const {
  std::string text = "[Desktop Entry]\n";
  if (IsProgram(target_)) {
    text += "Type=Application\n";
    text += "Exec=" + EscapeValue(QuoteExecArgument(target_)) + "\n";
  } else {
    text += "Type=Link\n";
    text += "URL=" + EscapeValue(FileUrl(target_)) + "\n";
  }
  text += "Name=" + EscapeValue(name) + "\n";
  text += "Comment=" + EscapeValue(description_) + "\n";
  return text;
}

bool ShellLink::Save(const std::string& linkPath) const {
  if (target_.empty() || linkPath.empty()) {
    errno = EINVAL;
    return false;
  }
  std::string entryPath = DesktopEntryPath(linkPath);
  size_t slash = entryPath.find_last_of('/');
  std::string fileName = slash == std::string::npos ? entryPath : entryPath.substr(slash + 1);
  std::string name = fileName.substr(0, fileName.size() - std::string(".desktop").size());
  return WriteFileAtomically(entryPath, DesktopEntryText(name), 0644);
}

}  // namespace lockwell
