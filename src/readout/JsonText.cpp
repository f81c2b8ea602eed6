#include "readout/JsonText.h"

#include "base/NumberText.h"

#include <cmath>
#include <cstdio>

namespace quendrix {

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

void JsonObject::text(std::string_view name, std::string_view value) {
    raw(name, jsonString(value));
}

void JsonObject::number(std::string_view name, double value) {
    // JSON has no infinities or NaN.
    raw(name, std::isfinite(value) ? shortestText(value) : std::string("null"));
}

void JsonObject::raw(std::string_view name, std::string_view json) {
    if (body_.size() > 1) {
        body_ += ',';
    }
    body_ += jsonString(name);
    body_ += ':';
    body_ += json;
}

std::string jsonShare(int part, int whole) {
    return whole <= 0 ? std::string("null") : shortestText(double(part) / whole);
}

} // namespace quendrix
