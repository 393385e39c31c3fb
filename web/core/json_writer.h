#pragma once
// A small JSON writer for the browser facade: objects, arrays, numbers, booleans and strings.
// Strings arrive as Windows-1252 bytes (the cores' texts) and leave as UTF-8, escaped so that the
// result is valid JSON whatever bytes a data tree holds.

#include <string>
#include <string_view>
#include <vector>

namespace ostrelin::web {

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  // The key of the next value inside an object (plain ASCII, written as it stands).
  JsonWriter& Key(std::string_view key);
  // A key of any UTF-8 text, escaped like a string.
  JsonWriter& KeyUtf8(std::string_view utf8);
  JsonWriter& String(std::string_view cp1252);  // Windows-1252 text, written as UTF-8
  JsonWriter& Utf8(std::string_view utf8);      // text already in UTF-8
  JsonWriter& Int(long long value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();
  JsonWriter& Raw(std::string_view json);  // an already written JSON value
  JsonWriter& Strings(const std::vector<std::string>& cp1252);

  const std::string& str() const { return out_; }

 private:
  void Separate();

  std::string out_;
  std::vector<bool> first_;  // per open container: nothing written into it yet
  bool afterKey_ = false;
};

}  // namespace ostrelin::web
