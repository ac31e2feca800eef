#ifndef RELAY_COMPARE_JSON_WRITER_H
#define RELAY_COMPARE_JSON_WRITER_H

#include <ostream>
#include <string>
#include <vector>

namespace relay_compare {

// Writes indented JSON, one member or element a line. The caller pairs
// every begin with its end and gives every member of an object a key.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out(out) {}

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(const std::string& name);

    JsonWriter& text(const std::string& value);
    // Not-a-number and infinities become null.
    JsonWriter& number(double value);
    JsonWriter& integer(long long value);
    JsonWriter& boolean(bool value);

private:
    void beforeValue();
    void newLine();

    std::ostream& out;
    // One entry per open container: whether it holds anything yet.
    std::vector<bool> filled;
    bool afterKey = false;
};

}  // namespace relay_compare

#endif
