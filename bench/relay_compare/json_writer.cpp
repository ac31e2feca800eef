#include "json_writer.h"

#include <boost/format.hpp>
#include <cmath>

namespace relay_compare {

namespace {

std::string quoted(const std::string& value) {
    std::string text = "\"";
    for (const char c : value) {
        switch (c) {
            case '"':
                text += "\\\"";
                break;
            case '\\':
                text += "\\\\";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\t':
                text += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    text += str(boost::format("\\u%1$04x") % static_cast<int>(c));
                } else {
                    text += c;
                }
        }
    }
    return text + "\"";
}

}  // namespace

void JsonWriter::newLine() { out << '\n' << std::string(filled.size() * 2, ' '); }

void JsonWriter::beforeValue() {
    if (afterKey) {
        afterKey = false;
        return;
    }
    if (filled.empty()) return;
    if (filled.back()) out << ',';
    filled.back() = true;
    newLine();
}

JsonWriter& JsonWriter::key(const std::string& name) {
    beforeValue();
    out << quoted(name) << ": ";
    afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::beginObject() {
    beforeValue();
    out << '{';
    filled.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    const bool hadMembers = filled.back();
    filled.pop_back();
    if (hadMembers) newLine();
    out << '}';
    if (filled.empty()) out << '\n';
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    beforeValue();
    out << '[';
    filled.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    const bool hadElements = filled.back();
    filled.pop_back();
    if (hadElements) newLine();
    out << ']';
    return *this;
}

JsonWriter& JsonWriter::text(const std::string& value) {
    beforeValue();
    out << quoted(value);
    return *this;
}

JsonWriter& JsonWriter::number(double value) {
    beforeValue();
    if (std::isfinite(value)) {
        out << str(boost::format("%.3f") % value);
    } else {
        out << "null";
    }
    return *this;
}

JsonWriter& JsonWriter::integer(long long value) {
    beforeValue();
    out << value;
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
    beforeValue();
    out << (value ? "true" : "false");
    return *this;
}

}  // namespace relay_compare
