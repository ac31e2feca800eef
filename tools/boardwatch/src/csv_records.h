#ifndef BOARDWATCH_CSV_RECORDS_H
#define BOARDWATCH_CSV_RECORDS_H

// Comma-separated values as RFC 4180 has them and spreadsheets write them:
// fields in double quotes may hold commas, line breaks and quotes (doubled);
// lines end in CRLF, LF or CR; a UTF-8 byte order mark before the first
// field is no part of it. More lenient than the RFC where nothing is
// ambiguous: spaces around a quoted field, and a quote inside an unquoted
// one, which is kept as it is.

#include <string>
#include <string_view>
#include <vector>

namespace boardwatch {

struct CsvRecord {
    int line = 0;  // where it begins, from 1
    std::vector<std::string> fields;
};

// Every record of the text, an empty line as one empty field; false, with
// error naming the line ("line 4: ..."), at a quote that is not closed or
// text after a closing quote.
bool readCsv(std::string_view text, std::vector<CsvRecord>& records, std::string& error);

}  // namespace boardwatch

#endif
