#include "vault/AccountFields.h"

#include <algorithm>
#include <cstring>

#include "vault/RecordModule.h"

namespace lockwell {
namespace {

// A text as a C string sees it.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

bool ValidFieldNumber(ErrorList& errors, int fieldNumber) {
  if (fieldNumber >= 0 && fieldNumber < AccountFields::kFieldCount) return true;
  errors.Append(RecordModuleId(), RECORD_INVALID_FIELD_NUMBER, "Invalid field number specified");
  return false;
}

// Memory to storage: every CR LF pair becomes LF; a lone CR or LF stays.
void AppendStored(SecureBytes& out, std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // the LF follows
    out.push_back(static_cast<uint8_t>(text[i]));
  }
  out.push_back(0);
}

// Storage to memory: every LF becomes CR LF.
void AssignFromStored(SecureString& out, std::string_view stored) {
  out.wipe();
  out.reserve(stored.size() + static_cast<size_t>(std::count(stored.begin(), stored.end(), '\n')));
  for (char c : stored) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

SecureString Lowered(std::string_view text) {
  SecureString lowered(text.size(), '\0');
  std::transform(text.begin(), text.end(), lowered.begin(), LowerAscii);
  return lowered;
}

// Unsigned byte-wise order; a prefix sorts first.
int CompareBytes(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  if (common > 0) {
    int byBytes = std::memcmp(a.data(), b.data(), common);
    if (byBytes != 0) return byBytes;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

}  // namespace

void AccountFields::setTitle(std::string_view title) { title_ = UpToNul(title); }

void AccountFields::setNote(std::string_view note) { note_ = UpToNul(note); }

bool AccountFields::getField(ErrorList& errors, int fieldNumber, SecureString& label,
                             SecureString& value) const {
  if (!ValidFieldNumber(errors, fieldNumber)) return false;
  label = labels_[fieldNumber];
  value = values_[fieldNumber];
  return true;
}

bool AccountFields::setField(ErrorList& errors, int fieldNumber, std::string_view label,
                             std::string_view value) {
  if (!ValidFieldNumber(errors, fieldNumber)) return false;
  label = UpToNul(label);
  SecureString& stored = labels_[fieldNumber];
  if (label.empty()) {
    stored = " ";
  } else {
    stored = label;
    if (label != " " && label.back() != ':') stored.push_back(':');
  }
  values_[fieldNumber] = UpToNul(value);
  return true;
}

bool AccountFields::findFieldValue(ErrorList& errors, std::string_view name, SecureString& value) const {
  SecureString wanted(UpToNul(name));
  if (wanted.empty() || wanted.back() != ':') wanted.push_back(':');
  if (wanted == "Title:") {
    value = title_;
    return true;
  }
  if (wanted == "Note:") {
    value = note_;
    return true;
  }
  for (int i = 0; i < kFieldCount; ++i) {
    if (labels_[i] == wanted) {
      value = values_[i];
      return true;
    }
  }
  errors.Append(RecordModuleId(), RECORD_FIELD_NAME_NOT_FOUND, "Field name not found");
  return false;
}

bool AccountFields::containsText(ErrorList& /*errors*/, std::string_view query, bool caseSensitive,
                                 bool& found) const {
  query = UpToNul(query);
  const SecureString* texts[] = {&title_,     &note_,      &labels_[0], &labels_[1],
                                 &labels_[2], &labels_[3], &labels_[4], &values_[0],
                                 &values_[1], &values_[2], &values_[3], &values_[4]};
  found = false;
  if (caseSensitive) {
    for (const SecureString* text : texts) {
      if (text->view().find(query) != std::string_view::npos) {
        found = true;
        break;
      }
    }
    return true;
  }
  const SecureString loweredQuery = Lowered(query);
  for (const SecureString* text : texts) {
    if (Lowered(text->view()).view().find(loweredQuery.view()) != std::string_view::npos) {
      found = true;
      break;
    }
  }
  return true;
}

bool AccountFields::operator<(const AccountFields& other) const {
  int order = CompareBytes(title_.view(), other.title_.view());
  for (int i = 0; order == 0 && i < kFieldCount; ++i) {
    order = CompareBytes(labels_[i].view(), other.labels_[i].view());
    if (order == 0) order = CompareBytes(values_[i].view(), other.values_[i].view());
  }
  if (order == 0) order = CompareBytes(note_.view(), other.note_.view());
  return order < 0;
}

void AccountFields::clear() {
  title_.wipe();
  note_.wipe();
  for (SecureString& label : labels_) label.wipe();
  for (SecureString& value : values_) value.wipe();
}

SecureBytes AccountFields::buildPlaintext() const {
  size_t size = title_.size() + note_.size() + 2;
  for (int i = 0; i < kFieldCount; ++i) size += labels_[i].size() + values_[i].size() + 2;
  SecureBytes plaintext;
  plaintext.reserve(size);
  AppendStored(plaintext, title_.view());
  for (int i = 0; i < kFieldCount; ++i) {
    AppendStored(plaintext, labels_[i].view());
    AppendStored(plaintext, values_[i].view());
  }
  AppendStored(plaintext, note_.view());
  return plaintext;
}

bool AccountFields::parsePlaintext(ErrorList& errors, std::span<const uint8_t> plaintext) {
  clear();
  SecureString* order[] = {&title_,     &labels_[0], &values_[0], &labels_[1], &values_[1], &labels_[2],
                           &values_[2], &labels_[3], &values_[3], &labels_[4], &values_[4], &note_};
  const std::string_view bytes(reinterpret_cast<const char*>(plaintext.data()), plaintext.size());
  size_t start = 0;
  for (SecureString* text : order) {
    const size_t end = bytes.find('\0', start);
    if (end == std::string_view::npos) {
      errors.Append(RecordModuleId(), RECORD_INSUFFICIENT_DATA, "Insufficient data in record");
      return false;
    }
    AssignFromStored(*text, bytes.substr(start, end - start));
    start = end + 1;
  }
  return true;
}

}  // namespace lockwell
