#include "csv_records.h"

namespace boardwatch {

namespace {

class CsvText {
public:
    explicit CsvText(std::string_view text) : text(text) {
        if (this->text.substr(0, 3) == "\xEF\xBB\xBF") at = 3;
    }

    bool atEnd() const { return at >= text.size(); }
    int lineNumber() const { return line; }

    // One record from here; false at a fault.
    bool record(CsvRecord& read, std::string& error) {
        read.line = line;
        for (;;) {
            std::string field;
            if (!this->field(field, error)) return false;
            read.fields.push_back(std::move(field));
            if (atEnd()) return true;
            if (text[at] == ',') {
                ++at;
                continue;
            }
            lineBreak();
            return true;
        }
    }

private:
    bool isBreak() const { return !atEnd() && (text[at] == '\n' || text[at] == '\r'); }

    void lineBreak() {
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
        ++at;
        ++line;
    }

    void skipSpaces() {
        while (!atEnd() && (text[at] == ' ' || text[at] == '\t')) ++at;
    }

    bool field(std::string& field, std::string& error) {
        const std::size_t start = at;
        skipSpaces();
        if (atEnd() || text[at] != '"') {
            at = start;
            while (!atEnd() && text[at] != ',' && !isBreak()) field += text[at++];
            return true;
        }
        const int opened = line;
        ++at;
        for (;;) {
            if (atEnd()) {
                error = "line " + std::to_string(opened) + ": a quote opened here is not closed";
                return false;
            }
            if (text[at] == '"') {
                if (at + 1 < text.size() && text[at + 1] == '"') {
                    field += '"';
                    at += 2;
                    continue;
                }
                ++at;
                break;
            }
            if (isBreak()) {
                // Kept as a line feed, whatever the file's line ends.
                lineBreak();
                field += '\n';
                continue;
            }
            field += text[at++];
        }
        skipSpaces();
        if (!atEnd() && text[at] != ',' && !isBreak()) {
            error = "line " + std::to_string(line) + ": text after a closing quote (a quote inside a field is doubled: \"\")";
            return false;
        }
        return true;
    }

    std::string_view text;
    std::size_t at = 0;
    int line = 1;
};

}  // namespace

bool readCsv(std::string_view text, std::vector<CsvRecord>& records, std::string& error) {
    CsvText csv(text);
    while (!csv.atEnd()) {
        CsvRecord record;
        if (!csv.record(record, error)) return false;
        records.push_back(std::move(record));
    }
    return true;
}

}  // namespace boardwatch
