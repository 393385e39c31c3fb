#include "web/core/json_writer.h"

#include <cstdio>

#include "platform/core/cp1252.h"

namespace ostrelin::web {

void JsonWriter::Separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_.empty()) {
    if (!first_.back()) out_ += ',';
    first_.back() = false;
  }
}

JsonWriter& JsonWriter::BeginObject() {
  Separate();
  out_ += '{';
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  out_ += '}';
  first_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  Separate();
  out_ += '[';
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  out_ += ']';
  first_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  Separate();
  out_ += '"';
  out_ += key;
  out_ += "\":";
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::KeyUtf8(std::string_view utf8) {
  Utf8(utf8);
  out_ += ':';
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view cp1252) { return Utf8(Cp1252ToUtf8(cp1252)); }

JsonWriter& JsonWriter::Utf8(std::string_view utf8) {
  Separate();
  out_ += '"';
  for (const char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out_ += '\\';
      out_ += c;
    } else if (u < 0x20 || c == '<' || c == '>' || c == '&') {
      // Control characters must be escaped; markup characters are escaped too, so that no JSON
      // text ever holds a literal tag, whoever embeds it.
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
      out_ += buffer;
    } else {
      out_ += c;
    }
  }
  out_ += '"';
  return *this;
}

JsonWriter& JsonWriter::Int(long long value) {
  Separate();
  out_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  Separate();
  out_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  Separate();
  out_ += "null";
  return *this;
}

JsonWriter& JsonWriter::Raw(std::string_view json) {
  Separate();
  out_ += json;
  return *this;
}

JsonWriter& JsonWriter::Strings(const std::vector<std::string>& cp1252) {
  BeginArray();
  for (const std::string& s : cp1252) String(s);
  return EndArray();
}

}  // namespace ostrelin::web
