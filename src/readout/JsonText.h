#pragma once

#include <string>
#include <string_view>

namespace quendrix {

/// A JSON string literal: quotes, escapes, and control characters as \u escapes.
std::string jsonString(std::string_view text);

/// part / whole as a JSON number; null when there is no whole to share.
std::string jsonShare(int part, int whole);

/// Builds one JSON object, members in the order they are added.
class JsonObject {
  public:
    void text(std::string_view name, std::string_view value);
    void number(std::string_view name, double value);
    /// A value already in JSON form (a number text, an array, an object, null).
    void raw(std::string_view name, std::string_view json);
    std::string str() const { return body_ + "}"; }

  private:
    std::string body_ = "{";
};

} // namespace quendrix
